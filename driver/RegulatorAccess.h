#pragma once
// One access to a regulator's memory, in its three roles: a read request that an
// application registered, a merged block that the worker reads for the cache, and a queued
// write. And the merging of a port's requests into blocks.

#include <array>
#include <cstdint>
#include <memory>

#include "ObjBase.h"
#include "ObjList.h"

namespace baslink {

// The most bytes one bus exchange carries, and so the largest block or queued write.
inline constexpr uint16_t kMaxPacketBytes = 24;

class TAccesoRegulador : public TObject {
    BASLINK_CLASS(TAccesoRegulador, TObject)

    uint8_t Puerto = 0;    // port 1..20
    uint16_t NumVlx = 0;   // node (bus address) of the regulator
    uint8_t Bloque = 0;    // memory block; 0 is plain addressing
    uint16_t Base = 0;     // offset of the first byte within the block
    uint16_t Tamanio = 0;  // number of bytes
    int32_t Fallos = 0;    // blocks: failed reads in a row, 0 to 3
    // Blocks: the cached bytes, Datos[i] being the byte at Base + i. Queued writes: the
    // bytes to write. Requests: not used.
    std::array<uint8_t, 32> Datos{};
};

// A new access to `size` bytes at (node, block, offset) of a regulator on `port`.
std::unique_ptr<TAccesoRegulador> NewAccess(uint8_t port, uint16_t node, uint8_t block,
                                            uint16_t offset, uint16_t size);

// The order of a port's requests: by node, then block, then offset. 2 when `a` comes after
// `b`, else 1, also for equal keys, so a new request goes before the requests of its own key
// (never 0: no two requests are ever taken for one).
uint8_t CompararAccesos(const TObject* a, const TObject* b);

// Empties `lecturas` and fills it with the blocks merged from `peticiones`, in its order.
// A request joins the current block when it has the block's node and memory block, starts
// within the block or right after its end, and the block then stays within 24 bytes;
// otherwise it opens a new block at its own offset (which may overlap the one before).
// Leaves the cursors of both lists on their last items.
void ReconstruirLecturas(TOrderedList& peticiones, TUnorderedList& lecturas);

// Appends `access` to a list that adds after its cursor, and hands it over to the list.
void AppendAccess(TUnorderedList& list, std::unique_ptr<TAccesoRegulador> access);

}  // namespace baslink
