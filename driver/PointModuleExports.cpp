// The point-module exports: programs declare modules, set their output values and control
// bits, and read their input values and status. None of them waits for the bus. The ones
// that change a module take SeccionCritica around the change, so they wait while a poll
// is under way; CogerEstadoZoq and CogerValoresZOQS take only the module lock. Once the
// library is stopping they all return at once: the worker is about to release the list.

#include <array>
#include <cstdint>
#include <mutex>

#include "Driver.h"
#include "Messages.h"
#include "PointModules.h"
#include "PortArgument.h"
#include "SeccionCritica.h"
#include "Worker.h"
#include "baslink.h"

namespace baslink {
namespace {

constexpr uint8_t kHighestPairType = 7;
constexpr uint8_t kBadAnswersBeforeAlarm = 10;
constexpr uint8_t kFailedExchangesBeforeAlarm = 2;

uint8_t KnownPairType(uint8_t type) {
    return type > kHighestPairType ? 0 : type;
}

bool PointInRange(uint16_t point) {
    return point >= 1 && point <= kPointsPerModule;
}

// Stores a value for a writable point, clamped by its pair type; an input point keeps its
// value. Under the module lock.
void SetWritable(TDatosZOQ& module, int point, uint16_t value) {
    if (EsSalidaZoq(module, point)) {
        module.Valor[static_cast<std::size_t>(point - 1)] =
            ClampToPairType(TipoPuntoZoq(module, point), value);
    }
}

uint16_t StatusWord(const TDatosZOQ& module) {
    uint16_t word = 0;
    const auto set = [&word](bool condition, uint16_t bit) {
        if (condition) {
            word = static_cast<uint16_t>(word | bit);
        }
    };
    set(module.Activo != 0, 0x01);
    set(module.Cambio != 0, 0x02);
    set(module.BitA != 0, 0x04);
    set(module.BitEstado != 0, 0x08);
    set(module.BitB != 0, 0x10);
    set(module.FallosRespuesta > kBadAnswersBeforeAlarm, 0x20);
    set(module.FallosComm > kFailedExchangesBeforeAlarm, 0x40);
    return word;
}

}  // namespace
}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API uint16_t BASLINK_CALL AnadirZOQ(uint8_t port, uint8_t address, uint8_t type1,
                                            uint8_t type2, uint8_t type3, uint8_t type4) {
    if (Parar == 1 || !PortArgumentValid(port, texts::kZoqPortZero, texts::kZoqPortAbove)) {
        return 0;
    }
    const PairTypes types{KnownPairType(type1), KnownPairType(type2), KnownPairType(type3),
                          KnownPairType(type4)};
    {
        std::lock_guard lock(SeccionCritica);
        ListaZoq().AddOrReset(port, address, types);
    }
    WakeWorker();  // the module is active
    return 0;
}

BASLINK_API void BASLINK_CALL PonerEstadoZoq(uint8_t port, uint8_t address, uint8_t activo,
                                             uint8_t bitB, uint8_t bitA) {
    if (Parar == 1) {
        return;
    }
    bool found = false;
    {
        std::lock_guard lock(SeccionCritica);
        found = ListaZoq().Use(port, address, [&](TDatosZOQ& module) {
            module.Activo = activo;
            module.BitB = bitB;
            module.BitA = bitA;
        });
    }
    if (found && activo == 1) {
        WakeWorker();
    }
}

BASLINK_API uint16_t BASLINK_CALL CogerEstadoZoq(uint8_t port, uint8_t address) {
    uint16_t word = 0;
    if (Parar == 1) {
        return word;
    }
    ListaZoq().Use(port, address, [&word](TDatosZOQ& module) { word = StatusWord(module); });
    return word;
}

BASLINK_API void BASLINK_CALL CogerValoresZOQS(uint8_t port, uint8_t address, uint16_t* value1,
                                               uint16_t* value2, uint16_t* value3, uint16_t* value4,
                                               uint16_t* value5, uint16_t* value6, uint16_t* value7,
                                               uint16_t* value8) {
    std::array<uint16_t, kPointsPerModule> values{};
    if (Parar == 1 ||
        !ListaZoq().Use(port, address, [&values](TDatosZOQ& module) { values = module.Valor; })) {
        return;
    }
    const std::array<uint16_t*, kPointsPerModule> targets{value1, value2, value3, value4,
                                                          value5, value6, value7, value8};
    for (std::size_t point = 0; point < targets.size(); ++point) {
        if (targets[point] != nullptr) {
            *targets[point] = values[point];
        }
    }
}

BASLINK_API void BASLINK_CALL PonerValoresZOQS(uint8_t port, uint8_t address, uint16_t value1,
                                               uint16_t value2, uint16_t value3, uint16_t value4,
                                               uint16_t value5, uint16_t value6, uint16_t value7,
                                               uint16_t value8) {
    const std::array<uint16_t, kPointsPerModule> values{value1, value2, value3, value4,
                                                        value5, value6, value7, value8};
    if (Parar == 1) {
        return;
    }
    std::lock_guard lock(SeccionCritica);
    ListaZoq().Use(port, address, [&values](TDatosZOQ& module) {
        for (int point = 1; point <= kPointsPerModule; ++point) {
            SetWritable(module, point, values[static_cast<std::size_t>(point - 1)]);
        }
    });
}

BASLINK_API void BASLINK_CALL PonerValorZOQ(uint8_t port, uint8_t address, uint16_t point,
                                            uint16_t value) {
    if (Parar == 1) {
        return;
    }
    if (!PointInRange(point)) {
        ShowLibraryMessage(texts::kPonerValorZoqPoint);
        return;
    }
    std::lock_guard lock(SeccionCritica);
    ListaZoq().Use(port, address,
                   [point, value](TDatosZOQ& module) { SetWritable(module, point, value); });
}

BASLINK_API void BASLINK_CALL CogerValorZOQ(uint8_t /*port*/, uint8_t /*address*/, uint16_t point,
                                            uint32_t /*unused*/) {
    // A valid point delivers nothing: values are read with CogerValoresZOQS.
    if (Parar == 0 && !PointInRange(point)) {
        ShowLibraryMessage(texts::kCogerValorZoqPoint);
    }
}

}  // extern "C"
