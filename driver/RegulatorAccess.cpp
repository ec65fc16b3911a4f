#include "RegulatorAccess.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>

namespace baslink {
namespace {

auto KeyOf(const TAccesoRegulador& access) {
    return std::tuple(access.NumVlx, access.Bloque, access.Base);
}

// Whether `request` can be merged into `block`. The sums are taken wider than 16 bits, so
// an end past offset 65535 does not wrap round to a small one.
bool Joins(const TAccesoRegulador& block, const TAccesoRegulador& request) {
    const uint32_t blockEnd = uint32_t{block.Base} + block.Tamanio;
    const uint32_t requestEnd = uint32_t{request.Base} + request.Tamanio;
    return request.NumVlx == block.NumVlx && request.Bloque == block.Bloque &&
           block.Base <= request.Base && request.Base <= blockEnd &&
           requestEnd - block.Base <= kMaxPacketBytes;
}

}  // namespace

std::unique_ptr<TAccesoRegulador> NewAccess(uint8_t port, uint16_t node, uint8_t block,
                                            uint16_t offset, uint16_t size) {
    auto access = std::make_unique<TAccesoRegulador>();
    access->Puerto = port;
    access->NumVlx = node;
    access->Bloque = block;
    access->Base = offset;
    access->Tamanio = size;
    return access;
}

uint8_t CompararAccesos(const TObject* a, const TObject* b) {
    const auto& first = CheckedCast<TAccesoRegulador>(a);
    const auto& second = CheckedCast<TAccesoRegulador>(b);
    return KeyOf(first) > KeyOf(second) ? 2 : 1;
}

void AppendAccess(TUnorderedList& list, std::unique_ptr<TAccesoRegulador> access) {
    list.Last();
    list.Add(access.get());
    access.release();  // the list owns it now
}

void ReconstruirLecturas(TOrderedList& peticiones, TUnorderedList& lecturas) {
    lecturas.Clear();
    if (!peticiones.First()) {
        return;
    }
    TAccesoRegulador* current = nullptr;
    do {
        const auto& request = CheckedCast<TAccesoRegulador>(peticiones.GetCurrent());
        if (current != nullptr && Joins(*current, request)) {
            const uint32_t end = std::max(uint32_t{request.Base} + request.Tamanio,
                                          uint32_t{current->Base} + current->Tamanio);
            current->Tamanio = static_cast<uint16_t>(end - current->Base);
            continue;
        }
        auto block = NewAccess(request.Puerto, request.NumVlx, request.Bloque, request.Base,
                               request.Tamanio);
        current = block.get();
        AppendAccess(lecturas, std::move(block));
    } while (peticiones.Next());
}

}  // namespace baslink
