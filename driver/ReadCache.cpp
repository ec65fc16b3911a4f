#include "ReadCache.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "NeverDestroyed.h"
#include "RegulatorMemory.h"
#include "SeccionCritica.h"

namespace baslink {
namespace {

constexpr int32_t kMaxBlockFailures = 3;

// Calls `visit` with each access of `list`, in list order.
template <typename Visit>
void ForEachAccess(TOrderedList& list, Visit visit) {
    if (!list.First()) {
        return;
    }
    do {
        visit(CheckedCast<TAccesoRegulador>(list.GetCurrent()));
    } while (list.Next());
}

AccessRow RowOf(const TAccesoRegulador& access, bool withBytes) {
    AccessRow row{access.NumVlx, access.Bloque, access.Base, access.Tamanio, {}};
    if (withBytes) {
        const std::size_t count = std::min<std::size_t>(access.Tamanio, access.Datos.size());
        row.bytes.assign(access.Datos.begin(), access.Datos.begin() + count);
    }
    return row;
}

std::vector<AccessRow> RowsOf(TOrderedList& list, bool withBytes) {
    std::vector<AccessRow> rows;
    ForEachAccess(
        list, [&](const TAccesoRegulador& access) { rows.push_back(RowOf(access, withBytes)); });
    return rows;
}

template <typename List>
std::vector<AccessRow> CopyPortList(uint8_t port, List TQDK::*list, bool withBytes) {
    std::lock_guard lock(SeccionCritica);
    TQDK* qdk = Puertos().Find(port);
    return qdk != nullptr ? RowsOf(qdk->*list, withBytes) : std::vector<AccessRow>{};
}

}  // namespace

void AnadirPeticion(TQDK& qdk, std::unique_ptr<TAccesoRegulador> request) {
    qdk.Peticiones.Add(request.get());
    request.release();  // the list owns it now
    ReconstruirLecturas(qdk.Peticiones, qdk.Lecturas);
    qdk.IndiceLectura = 1;
}

void QuitarPeticiones(TQDK& qdk) {
    qdk.Lecturas.Clear();
    qdk.Peticiones.Clear();
}

bool LeerDeBloques(TQDK& qdk, uint16_t node, uint16_t block, uint16_t offset, uint16_t size,
                   uint8_t* destination) {
    const uint32_t end = uint32_t{offset} + size;
    bool found = false;
    ForEachAccess(qdk.Lecturas, [&](const TAccesoRegulador& cached) {
        if (found || cached.NumVlx != node || cached.Bloque != block || cached.Base > offset ||
            uint32_t{cached.Base} + cached.Tamanio < end) {
            return;
        }
        // A block holds at most 24 bytes, so what it covers lies within its Datos.
        std::copy_n(cached.Datos.begin() + (offset - cached.Base), size, destination);
        found = true;
    });
    return found;
}

std::optional<bool> EstadoDeNodo(TQDK& qdk, uint16_t node) {
    std::optional<bool> state;
    ForEachAccess(qdk.Lecturas, [&](const TAccesoRegulador& cached) {
        if (!state && cached.NumVlx == node) {
            state = cached.Fallos < kMaxBlockFailures;
        }
    });
    return state;
}

bool LeerSiguienteBloque(TQDK& qdk) {
    const int32_t count = qdk.Lecturas.Count();
    if (count == 0) {
        return false;
    }
    if (qdk.IndiceLectura < 1 || qdk.IndiceLectura > count) {
        qdk.IndiceLectura = 1;
    }
    auto& block = CheckedCast<TAccesoRegulador>(qdk.Lecturas.GoTo(qdk.IndiceLectura));
    if (ReadRegulatorMemory(qdk, block.NumVlx, block.Bloque, block.Base,
                            static_cast<uint8_t>(block.Tamanio), block.Datos.data())) {
        block.Fallos = 0;
    } else if (FailedReadsFill(qdk)) {
        // The block holds the fill now, not the regulator's values: its node reads as
        // failed until a good read replaces them, even before its own three failures.
        block.Fallos = kMaxBlockFailures;
    } else if (block.Fallos < kMaxBlockFailures) {
        ++block.Fallos;
    }
    qdk.IndiceLectura = qdk.IndiceLectura >= count ? 1 : qdk.IndiceLectura + 1;
    return true;
}

void WriteQueue::Create() {
    list_ = std::make_unique<TUnorderedList>(TAccesoRegulador::StaticClass());
}

void WriteQueue::Release() {
    list_.reset();
}

void WriteQueue::Append(std::unique_ptr<TAccesoRegulador> write) {
    if (list_) {
        AppendAccess(*list_, std::move(write));
    }
}

std::unique_ptr<TAccesoRegulador> WriteQueue::TakeOldest() {
    if (!list_ || !list_->First()) {
        return nullptr;
    }
    return std::unique_ptr<TAccesoRegulador>(
        &CheckedCast<TAccesoRegulador>(list_->ExtractCurrent()));
}

int32_t WriteQueue::Count() const {
    return list_ ? list_->Count() : 0;
}

void WriteQueue::ForEach(const std::function<void(const TAccesoRegulador&)>& visit) {
    if (list_) {
        ForEachAccess(*list_, visit);
    }
}

WriteQueue& EscriturasPendientes() {
    // Like the port objects, released by the library's stop, not by static destruction.
    static NeverDestroyed<WriteQueue> queue;
    return queue.get();
}

std::vector<AccessRow> CopyPendingWrites() {
    std::lock_guard lock(SeccionCritica);
    std::vector<AccessRow> rows;
    EscriturasPendientes().ForEach(
        [&rows](const TAccesoRegulador& write) { rows.push_back(RowOf(write, true)); });
    return rows;
}

std::vector<AccessRow> CopyRequests(uint8_t port) {
    return CopyPortList(port, &TQDK::Peticiones, false);
}

std::vector<AccessRow> CopyBlocks(uint8_t port) {
    return CopyPortList(port, &TQDK::Lecturas, true);
}

}  // namespace baslink
