#include "PointModules.h"

#include <algorithm>

#include "BitFields.h"
#include "FreeForm.h"
#include "NeverDestroyed.h"
#include "baslink.h"

namespace baslink {
namespace {

constexpr uint16_t kRequestLead = 3;
constexpr uint8_t kPollParameter = 3;
constexpr int kCountBits = 8;
constexpr uint8_t kMaxFailures = 100;

// Bits per point of each pair type, in the request and in the answer. An 11-bit input
// travels as its 8 low bits, then its 3 high bits.
struct PairLayout {
    int requestBits;
    int answerBits;
};
constexpr std::array<PairLayout, 8> kPairLayouts{{
    {0, 0},   // 0: not used
    {1, 0},   // 1: 1-bit output
    {0, 1},   // 2: 1-bit input
    {0, 11},  // 3: 11-bit input
    {8, 0},   // 4: 8-bit output
    {0, 8},   // 5: 8-bit input
    {0, 11},  // 6: 11-bit input
    {1, 0},   // 7: 1-bit output, its value not clamped
}};
constexpr int kWideInputBits = 11;

const PairLayout& LayoutOf(uint8_t type) {
    return kPairLayouts[type % kPairLayouts.size()];
}

uint8_t OneMoreFailure(uint8_t failures) {
    return static_cast<uint8_t>(std::min<int>(failures + 1, kMaxFailures));
}

uint16_t ReadPoint(const uint8_t* answer, std::size_t& position, int bits) {
    uint16_t value = 0;
    if (bits == kWideInputBits) {
        uint16_t high = 0;
        position = LeerBits(answer, position, value, 8);
        position = LeerBits(answer, position, high, 3);
        return static_cast<uint16_t>(high * 256 + value);
    }
    position = LeerBits(answer, position, value, bits);
    return value;
}

}  // namespace

void ResetModule(TDatosZOQ& module, uint8_t port, uint8_t address, const PairTypes& types) {
    module.Puerto = port;
    module.Direccion = address;
    module.Activo = 1;
    module.Cambio = 1;
    module.BitA = 0;
    module.BitEstado = 0;
    module.BitB = 0;
    module.TipoPar = types;
    module.Valor.fill(0);
    module.MascaraCambios = 0;
    module.FallosRespuesta = 0;
    module.FallosComm = 0;
}

uint8_t TipoPuntoZoq(const TDatosZOQ& module, int point) {
    return module.TipoPar[static_cast<std::size_t>(point - 1) / 2];
}

bool EsEntradaZoq(const TDatosZOQ& module, int point) {
    return point >= 1 && point <= kPointsPerModule &&
           LayoutOf(TipoPuntoZoq(module, point)).answerBits > 0;
}

bool EsSalidaZoq(const TDatosZOQ& module, int point) {
    return !EsEntradaZoq(module, point);
}

uint16_t ClampToPairType(uint8_t type, uint16_t value) {
    switch (type) {
        case 1:
            return std::min<uint16_t>(value, 1);
        case 4:
            return std::min<uint16_t>(value, 255);
        default:
            return value;
    }
}

ZoqRequest BuildZoqRequest(const TDatosZOQ& module) {
    ZoqRequest request;
    uint8_t* bits = request.bits.data();
    std::size_t position = EscribirBits(bits, 0, kRequestLead, 8);
    position = EscribirBits(bits, position, module.Direccion, 8);
    uint16_t bitsToReceive = 9;  // the status bit and the count byte
    for (std::size_t pair = 0; pair < module.TipoPar.size(); ++pair) {
        const uint8_t type = module.TipoPar[pair];
        const PairLayout& layout = LayoutOf(type);
        position = EscribirBits(bits, position, type, 3);
        if (layout.requestBits > 0) {
            position = EscribirBits(bits, position, module.Valor[2 * pair], layout.requestBits);
            position = EscribirBits(bits, position, module.Valor[2 * pair + 1], layout.requestBits);
        }
        bitsToReceive = static_cast<uint16_t>(bitsToReceive + 2 * layout.answerBits);
    }
    position = EscribirBits(bits, position, module.BitA != 0 ? 1 : 0, 1);
    position = EscribirBits(bits, position, module.BitB != 0 ? 1 : 0, 1);
    position = EscribirBits(bits, position, 0, 2);
    position = EscribirBits(bits, position, OnesBefore(bits, position), kCountBits);
    request.bitsToSend = static_cast<uint16_t>(position);
    request.bitsToReceive = bitsToReceive;
    return request;
}

void ProcesarRespuestaZoq(const uint8_t* answer, uint16_t bitsToReceive, TDatosZOQ& module) {
    const std::size_t countAt = bitsToReceive - kCountBits;
    uint16_t count = 0;
    LeerBits(answer, countAt, count, kCountBits);
    if (count != OnesBefore(answer, countAt)) {
        module.FallosRespuesta = OneMoreFailure(module.FallosRespuesta);
        return;
    }
    module.FallosRespuesta = 0;
    uint16_t status = 0;
    std::size_t position = LeerBits(answer, 0, status, 1);
    module.BitEstado = static_cast<uint8_t>(status);
    for (std::size_t point = 0; point < module.Valor.size(); ++point) {
        const int bits = LayoutOf(module.TipoPar[point / 2]).answerBits;
        if (bits == 0) {
            continue;
        }
        const uint16_t value = ReadPoint(answer, position, bits);
        if (value != module.Valor[point]) {
            module.Valor[point] = value;
            module.Cambio = 1;
            module.MascaraCambios = static_cast<uint8_t>(module.MascaraCambios | 1u << point);
        }
    }
}

void InterrogarZoq(TDatosZOQ& module) {
    ZoqRequest request;
    uint8_t port = 0;
    ListaZoq().Use(module, [&](TDatosZOQ& taken) {
        request = BuildZoqRequest(taken);
        port = taken.Puerto;
    });
    if (PedirCommLibre(port, 0, request.bitsToSend, request.bitsToReceive, kPollParameter,
                       request.bits.data()) == 0) {
        ListaZoq().Use(module, [](TDatosZOQ& failed) {
            failed.FallosComm = OneMoreFailure(failed.FallosComm);
        });
        return;
    }
    // The store still holds this poll's answer: only an exchange under SeccionCritica, which
    // this thread holds, fills it.
    uint16_t status = 0;
    DevolverCommLibre(&status, &request.bitsToReceive, request.bits.data());
    ListaZoq().Use(module, [&](TDatosZOQ& answered) {
        answered.FallosComm = 0;
        if (status != kBitCountMatches) {
            answered.FallosRespuesta = OneMoreFailure(answered.FallosRespuesta);
            return;
        }
        ProcesarRespuestaZoq(request.bits.data(), request.bitsToReceive, answered);
    });
}

void ZoqList::Create() {
    std::lock_guard lock(mutex_);
    list_ = std::make_unique<TUnorderedList>(TDatosZOQ::StaticClass());
}

void ZoqList::Release() {
    std::lock_guard lock(mutex_);
    list_.reset();
}

void ZoqList::AddOrReset(uint8_t port, uint8_t address, const PairTypes& types) {
    std::lock_guard lock(mutex_);
    if (!list_) {
        return;
    }
    if (TDatosZOQ* known = Find(port, address)) {
        ResetModule(*known, port, address, types);
        return;
    }
    auto added = std::make_unique<TDatosZOQ>();
    ResetModule(*added, port, address, types);
    list_->Last();  // the list adds after its cursor
    list_->Add(added.get());
    added.release();  // the list owns it now
}

bool ZoqList::Use(uint8_t port, uint8_t address, const std::function<void(TDatosZOQ&)>& use) {
    std::lock_guard lock(mutex_);
    TDatosZOQ* module = Find(port, address);
    if (module == nullptr) {
        return false;
    }
    use(*module);
    return true;
}

void ZoqList::Use(TDatosZOQ& module, const std::function<void(TDatosZOQ&)>& use) {
    std::lock_guard lock(mutex_);
    use(module);
}

int32_t ZoqList::Count() const {
    std::lock_guard lock(mutex_);
    return list_ ? list_->Count() : 0;
}

TDatosZOQ* ZoqList::ActiveAt(int32_t position) {
    std::lock_guard lock(mutex_);
    if (!list_ || position < 1 || position > list_->Count()) {
        return nullptr;
    }
    auto& module = CheckedCast<TDatosZOQ>(list_->GoTo(position));
    return module.Activo == 1 ? &module : nullptr;
}

bool ZoqList::AnyActive() const {
    std::lock_guard lock(mutex_);
    if (!list_ || !list_->First()) {
        return false;
    }
    do {
        if (CheckedCast<TDatosZOQ>(list_->GetCurrent()).Activo == 1) {
            return true;
        }
    } while (list_->Next());
    return false;
}

TDatosZOQ* ZoqList::Find(uint8_t port, uint8_t address) {
    if (!list_ || !list_->First()) {
        return nullptr;
    }
    do {
        auto& module = CheckedCast<TDatosZOQ>(list_->GetCurrent());
        if (module.Puerto == port && module.Direccion == address) {
            return &module;
        }
    } while (list_->Next());
    return nullptr;
}

ZoqList& ListaZoq() {
    // Like the port objects, released by the library's stop, not by static destruction.
    static NeverDestroyed<ZoqList> list;
    return list.get();
}

}  // namespace baslink
