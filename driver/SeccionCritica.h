#pragma once
// The driver's one lock, SeccionCritica, the lock map of the whole driver, and the two
// guards that keep the lock's rules: the library's messages and the exchange lock.
//
// Lock map. Each entry: what the lock guards; which threads take it.
//
//   SeccionCritica (here; re-entrant for its holder)
//       Every exchange on a port object (its serial component, Secuencia, the reply
//       state), the creation and release of port components, with what AbrirPuerto keeps
//       between calls (the open-failure streak, the link a port found through a link keeps
//       to, and its TerminalAdmission: the link chains of its pseudo-terminal and of one
//       that hung up, and its last verdict on whether a terminal is a session's),
//       SecuenciaEprom, the driver's lists, and the release of the driver's objects.
//       Host threads in the exports that exchange on the bus (through ExchangeLock) or
//       change the lists; the worker once per step; the library's stop.
//       Regulator memory (DirectFrames, BoardMemory, RegulatorMemory, MemoryExports): a
//       port's ModoDirecto from its store to the end of the exchange, FallosLectura, and
//       the writes of FallosQdk (an atomic byte, which FalloQDK reads without the lock).
//       The settings MemoriaACeroSiFallo and DelayTransmisiones are atomics outside any
//       lock. An EEPROM read of a regulator lets go of the lock between its two exchanges.
//       The read cache (ReadCache.h): each port's Peticiones, Lecturas (the blocks with
//       their cached bytes and Fallos), IndiceLectura and Descripcion, and the write queue
//       EscriturasPendientes, with the one cursor of each list. Taken by the cache exports
//       around their work on the lists (AnadirLecturaVLX2 through ExchangeLock, as it
//       opens the port), by the worker's write step for the whole queue and its block step
//       for one block read, and by the diagnostic window for each copy of a list's rows
//       (it fills its grids after letting go).
//       The worker's steps (WorkerSteps.h) take it as a plain hold: once per point-module
//       poll (the poll's own exchange then takes ExchangeLock inside it), once for the
//       queued writes, once per block read with the 5 ms pause after it; and after each
//       pass, to see whether work is left. Under it they open a port in use before they
//       exchange on it: a try of a missing device costs a look at its path (and a look
//       through the ports folder while its link is gone), never an open or the opening
//       pause; a try of a device that is there but refused, or held by another program,
//       costs its open, its fstat and its lock's system calls, and reads the processes'
//       status at most once a second for one terminal; and it says nothing
//       (SilentPortOpens, a thread-local count of the steps' own, takes no lock).
//   PortTable lifetime (PortObjects.h; shared and exclusive)
//       That the 20 port objects exist, for the exports that read them without
//       SeccionCritica. Exclusive only while they are released, under SeccionCritica.
//   TQDK reply notice (PortObjects.h, ReplyWait.h)
//       The judging of a delivery against the exchange in progress, and the wake-up of its
//       wait. The port's reader thread takes it to judge each delivery; the exchanging
//       thread to set up an exchange, and while it sleeps.
//   The point modules' module lock (ZoqList in PointModules.h)
//       The structure and cursor of ListaZoq and every field of its modules. Taken only for
//       short copies and stores, never across a bus exchange: by the exports that change a
//       module (inside SeccionCritica), by CogerEstadoZoq and CogerValoresZOQS (alone, so
//       they never wait for a poll), by a poll while it takes its request and while it
//       stores its answer, and by the worker's walk of the modules by position.
//   The free-form reply store's lock (FreeForm.cpp)
//       RespuestaLibre and BitsRespuestaLibre. Taken by PedirCommLibre while it clears or
//       fills the store (inside SeccionCritica), and by DevolverCommLibre (alone) while it
//       copies it, so it never sees half of an answer.
//   Worker control and worker slot (Worker.cpp)
//       The worker's start, its stop request, announced work and its end.
//   Deferred messages (SeccionCritica.cpp)
//       The messages waiting for their thread to let go of SeccionCritica; taken alone.
//   The serial component's own locks (serial/ThreadComPort.h)
//       Its device, its receive buffer and its deliveries.
//
// Order: SeccionCritica, then PortTable lifetime, then the component's locks; the
// component's delivery lock, then the reply notice, then the component's buffer lock (a
// reader thread judges under its delivery lock; a waiting thread reads the collected bytes
// under the notice). The module lock and the reply store's lock come after SeccionCritica
// and are never held while taking any other lock.
//
// Rules:
//   - A receive handler (it runs on the port's reader thread) never takes SeccionCritica:
//     releasing a port object joins the port's reader while holding it. A receive check
//     runs under the reply notice: it only judges the bytes and sets Estado.
//   - No message is shown while SeccionCritica is held: the worker and every other
//     exchange would stall behind the modal box. ShowLibraryMessage defers a message to
//     the moment its thread lets go of the lock.
//   - A thread already inside a bus exchange starts no other: the exports pump window
//     messages while they wait, and a handler run by that pumping must not walk through
//     the re-entrant lock into the exchange in flight. ExchangeLock refuses it.
//   - Re-entry proper stays allowed: a holder's own routines take the lock again (the
//     worker's point-module poll and the free-form exchange inside it; an export and its
//     per-size routines).

#include <mutex>
#include <string>

namespace baslink {

class CriticalSection {
public:
    void lock();
    // The outermost release shows the messages this thread deferred while holding it.
    void unlock();

    bool HeldByCurrentThread() const;

private:
    std::recursive_mutex mutex_;
};

// The driver's one lock.
extern CriticalSection SeccionCritica;

// Shows one of the library's messages (modal where a window can show it). While the
// calling thread holds SeccionCritica the message waits until the thread releases it.
void ShowLibraryMessage(std::string text);

// SeccionCritica for one bus exchange of an export, for the guard's lifetime. Refused,
// without taking the lock, when the calling thread is already inside an exchange.
class ExchangeLock {
public:
    ExchangeLock();
    ~ExchangeLock();
    ExchangeLock(const ExchangeLock&) = delete;
    ExchangeLock& operator=(const ExchangeLock&) = delete;

    // False when the exchange was refused: the export returns its failure value at once.
    bool Held() const { return held_; }

private:
    bool held_ = false;
};

}  // namespace baslink
