#pragma once
// The driver's state shared by the exports, the worker thread and the port readers,
// and the creation and release of the driver's objects.
//
// Every global here is constant-initialised and needs no destruction, so none of it
// depends on the order in which the library's parts start or end.

#include <atomic>
#include <cstdint>

namespace baslink {

// 1 once the library is stopping. Nothing clears it afterwards.
extern std::atomic<uint8_t> Parar;
// 1 once the worker thread has ended.
extern std::atomic<uint8_t> ThreadTerminado;
// The worker's pause after each pass, in milliseconds.
extern std::atomic<int32_t> DelayTransmisiones;
// 1: a regulator memory read that has failed ten times in a row fills its destination
// with 0xFF. Any other value leaves a failed read's destination as it was.
extern std::atomic<uint8_t> MemoriaACeroSiFallo;

// Creates the driver's objects: the 20 port objects, the point-module list and the queue
// of writes.
void InicializarDriver();
// Releases what InicializarDriver created, under the lock; the port objects close
// their serial ports and free their cache lists, and writes still queued are dropped.
// Exports and the diagnostic window find no port objects, point modules or queued writes
// afterwards.
void ReleaseDriverObjects();

}  // namespace baslink
