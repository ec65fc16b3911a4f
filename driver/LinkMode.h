#pragma once
// The two link modes of a port: through the communication board (CRC-16 frames) or
// direct bus frames to the regulators (8-bit sum). The mode decides which receive
// check judges the port's replies.

#include <cstdint>
#include <span>
#include <string>

#include "PortObjects.h"

namespace baslink {

// The bytes a receive check judges: the first (collected count modulo 256) of them. None
// when that is fewer than 3, or while the library stops, and the state is then left as it is.
std::span<const uint8_t> JudgedBytes(const std::string& data);

// The receive check of direct-mode ports, on the port's reader thread: sets Estado to
// kStateGood when the collected bytes end in their 8-bit sum, else to kStateBad.
// Fewer than 3 bytes, or a stopping library, leave it as it is.
void RecepcionSuma(TQDK& qdk, TThreadComPort& sender, const std::string& data);

// AbrirPuerto with the receive check of the port's current ModoDirecto: RecepcionSuma
// when it is not 0, RecepcionCrc when it is. The caller holds SeccionCritica.
bool AbrirPuertoEnModo(TQDK& qdk);
// Stores `mode` as the port's ModoDirecto, then AbrirPuertoEnModo. The caller holds
// SeccionCritica.
bool OpenInMode(TQDK& qdk, uint8_t mode);

}  // namespace baslink
