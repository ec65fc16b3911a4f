#pragma once
// The read cache and the write queue. Per port, the application registers the memory
// ranges it watches (Peticiones); they are merged into blocks of at most 24 bytes
// (Lecturas), which the worker reads one per pass and keeps the bytes of. Reads are answered
// from those bytes at once. Writes of all ports wait in one queue, EscriturasPendientes,
// which the worker sends in the order of the calls.
//
// The lists are walked with their one cursor by the worker's steps, the exports and the
// diagnostic window's copies, so every walk runs under SeccionCritica: none may meet a list
// that another thread is walking or rebuilding. The caller holds it, except for the copies,
// which take it themselves.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "PortObjects.h"
#include "RegulatorAccess.h"

namespace baslink {

// Adds `request` to the port's requests and rebuilds its blocks from nothing (their cached
// bytes and failure counts go); the worker reads block 1 next.
void AnadirPeticion(TQDK& qdk, std::unique_ptr<TAccesoRegulador> request);

// Forgets the port's requests and blocks.
void QuitarPeticiones(TQDK& qdk);

// Copies `size` cached bytes at (node, block, offset) into `destination` from the first
// block that holds them all; false, leaving the destination untouched, when none does.
// `block` is 16 bits wide: a value above 255 finds nothing.
bool LeerDeBloques(TQDK& qdk, uint16_t node, uint16_t block, uint16_t offset, uint16_t size,
                   uint8_t* destination);

// Whether the first block of `node` reads well (fewer than 3 failed reads in a row);
// none when the port has no block of that node.
std::optional<bool> EstadoDeNodo(TQDK& qdk, uint16_t node);

// The worker's read of one block: the block at IndiceLectura is read from the bus in the
// port's link mode; its Fallos step up to 3 on failure (straight to 3 when the failure
// filled the block with 0xFF) and drop to 0 on success, and IndiceLectura moves on to the
// next block, back to 1 after the last. False, doing nothing, when the port has no blocks.
bool LeerSiguienteBloque(TQDK& qdk);

// The queue of writes of all ports, oldest first.
class WriteQueue {
public:
    void Create();
    void Release();

    // Appends a write; once released, the write is dropped.
    void Append(std::unique_ptr<TAccesoRegulador> write);
    // The oldest write, taken out of the queue; none when the queue is empty.
    std::unique_ptr<TAccesoRegulador> TakeOldest();
    int32_t Count() const;
    // Calls `visit` with each write, oldest first.
    void ForEach(const std::function<void(const TAccesoRegulador&)>& visit);

private:
    std::unique_ptr<TUnorderedList> list_;
};

// The driver's write queue; it lives from InicializarDriver to ReleaseDriverObjects.
WriteQueue& EscriturasPendientes();

// What the diagnostic window shows of an access: its address, size and bytes (the cached
// bytes of a block, the bytes of a queued write; none for a request).
struct AccessRow {
    uint16_t node = 0;
    uint8_t block = 0;
    uint16_t base = 0;
    uint16_t size = 0;
    std::vector<uint8_t> bytes;
};

// Copies of the lists' rows, in list order; each takes SeccionCritica for its copy. None
// once the driver's objects are released or for a port outside 1..20.
std::vector<AccessRow> CopyPendingWrites();
std::vector<AccessRow> CopyRequests(uint8_t port);
std::vector<AccessRow> CopyBlocks(uint8_t port);

}  // namespace baslink
