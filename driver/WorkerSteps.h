#pragma once
// The steps of the worker's pass over the ports 1 to 20. Each takes SeccionCritica itself,
// as a plain hold, and lets go of it between steps, so the exports get their turn: for each
// poll of a point module, for the whole sending of the queued writes, and for each block
// read. Every step stops at its next check once the library is stopping.

#include <cstdint>

namespace baslink {

// Step A: one poll of each active point module, in list order, with 5 ms after each. The
// modules are walked by position, so the exports may add to the list meanwhile.
void PollActiveModules();

// Step B: sends the queued writes, oldest first, each in its port's current link mode,
// and deletes each once sent, whatever the outcome. A port in use is opened again when its
// device went away; a port never in use is not opened, and its writes are dropped unsent.
void SendPendingWrites();

// Step C: when `port` is in use and has cache blocks, reads its next block and then sleeps
// 5 ms, still holding the lock. The port is opened in its link mode first, again when its
// device went away; while it cannot be opened the read fails at once and counts as failed.
void ReadNextBlock(uint8_t port);

// One pass: the three steps for each port 1 to 20; the rest of the pass is skipped once
// the library is stopping. True while work is left for the next pass: an active module, a
// queued write, or a port with blocks.
bool Pasada();

}  // namespace baslink
