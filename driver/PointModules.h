#pragma once
// The point modules: I/O modules on the bus with 8 points in 4 channel pairs. A pair's type
// makes its two points outputs or inputs and fixes their width. Programs declare modules and
// set and read their values (PointModuleExports.cpp); the worker polls each active module
// with InterrogarZoq: one request bit stream goes out with the output values and the control
// bits, one answer comes back with the input values, through the board's free-form exchange.
//
// The list's structure and every field of its modules are kept under the list's own module
// lock, which is taken only for short copies and stores and never across a bus exchange. So
// the readers that take nothing else (CogerEstadoZoq, CogerValoresZOQS) never wait for a
// poll and never read a module while a poll stores into it. The exports that change a
// module take SeccionCritica around the change as well: a poll holds it from its request to
// its answer, so it never sees half of a change, nor a module reset under it.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "ObjBase.h"
#include "ObjList.h"

namespace baslink {

using PairTypes = std::array<uint8_t, 4>;

inline constexpr int kPointsPerModule = 8;

// One point module, kept by ListaZoq.
class TDatosZOQ : public TObject {
    BASLINK_CLASS(TDatosZOQ, TObject)

    uint8_t Puerto = 0;     // port 1..20; with Direccion the module's key
    uint8_t Direccion = 0;  // bus address
    uint8_t Activo = 0;     // the worker polls the module only while this is exactly 1
    uint8_t Cambio = 0;     // 1 once an input value has changed, and when added; never cleared
    uint8_t BitA = 0;       // request control bits, sent as 1 when not 0
    uint8_t BitEstado = 0;  // bit 0 of the last good answer
    uint8_t BitB = 0;
    PairTypes TipoPar{};  // types 0..7 of pairs 1..4; pair k holds points 2k-1 and 2k
    // Points 1..8: set by the exports for writable points, by the polls for input points.
    std::array<uint16_t, kPointsPerModule> Valor{};
    uint8_t MascaraCambios = 0;   // bit j-1 set once point j's input value has changed
    uint8_t FallosRespuesta = 0;  // bad answers since the last good one, at most 100
    uint8_t FallosComm = 0;       // failed exchanges since the last answered one, at most 100
};

// The state of a module when it is added: active and changed, its pair types, all else 0.
void ResetModule(TDatosZOQ& module, uint8_t port, uint8_t address, const PairTypes& types);

// The type of the pair that holds `point` (1..8).
uint8_t TipoPuntoZoq(const TDatosZOQ& module, int point);
// True for the points of pairs of type 2, 3, 5 or 6; false for points outside 1..8.
bool EsEntradaZoq(const TDatosZOQ& module, int point);
// The points the exports may set: every point that is no input.
bool EsSalidaZoq(const TDatosZOQ& module, int point);
// A value as a writable point of `type` keeps it: at most 1 for type 1, 255 for type 4.
uint16_t ClampToPairType(uint8_t type, uint16_t value);

// The request of one poll: its bit stream (bits after the last field are 0) and the bit
// counts of the request and of the answer it expects.
struct ZoqRequest {
    std::array<uint8_t, 13> bits{};
    uint16_t bitsToSend = 0;
    uint16_t bitsToReceive = 0;
};
ZoqRequest BuildZoqRequest(const TDatosZOQ& module);

// Checks an answer of `bitsToReceive` bits by its closing count of 1-bits and stores it:
// BitEstado, the input values, and for each value that changed Cambio and its bit of
// MascaraCambios. A failed check only counts a bad answer. The caller holds the module lock.
void ProcesarRespuestaZoq(const uint8_t* answer, uint16_t bitsToReceive, TDatosZOQ& module);

// One poll of `module`, which is in ListaZoq: the request goes out with PedirCommLibre (its
// port is left in board mode) and a good answer is stored. The caller holds SeccionCritica,
// as a plain hold like the worker's step takes it: the exchange inside takes ExchangeLock,
// which refuses a thread that holds one already.
void InterrogarZoq(TDatosZOQ& module);

// ListaZoq: the point modules, in the order they were added, one per (port, address).
// Modules are added or reset in place, never removed one by one: a module stays where it
// is until the whole list is released, when the driver's objects go after the worker has
// ended.
class ZoqList {
public:
    void Create();
    void Release();

    // Resets the module of (port, address) or appends a new one. The caller holds
    // SeccionCritica. Nothing once the list is released.
    void AddOrReset(uint8_t port, uint8_t address, const PairTypes& types);

    // Calls `use` with the module of (port, address) under the module lock; false, without
    // a call, when there is none. A caller that changes the module holds SeccionCritica.
    bool Use(uint8_t port, uint8_t address, const std::function<void(TDatosZOQ&)>& use);
    // Calls `use` with a module of the list under the module lock.
    void Use(TDatosZOQ& module, const std::function<void(TDatosZOQ&)>& use);

    // For the worker's walk by position: the number of modules, and the module at
    // `position` (1..Count) when its Activo is exactly 1, else none.
    int32_t Count() const;
    TDatosZOQ* ActiveAt(int32_t position);
    // Whether a module of the list has Activo exactly 1.
    bool AnyActive() const;

private:
    // Walks the list from its head; under mutex_, which keeps every walk of its one cursor.
    TDatosZOQ* Find(uint8_t port, uint8_t address);

    mutable std::mutex mutex_;  // the module lock
    std::unique_ptr<TUnorderedList> list_;
};

// The driver's module list; it lives from InicializarDriver to ReleaseDriverObjects.
ZoqList& ListaZoq();

}  // namespace baslink
