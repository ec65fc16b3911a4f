#pragma once
// The library's stop and the clearing of the stop flag at load.

namespace baslink {

// Clears the stop flag.
void InicializarVarios();

// Starts the stop: sets the stop flag and asks the worker to end. Never waits for it.
// A second call does nothing.
void PararDriver();

}  // namespace baslink
