#include "LinkMode.h"

#include "BoardLink.h"
#include "Checksums.h"
#include "Driver.h"

namespace baslink {

void RecepcionSuma(TQDK&, TThreadComPort& sender, const std::string& data) {
    if (Parar == 1) {
        return;
    }
    const std::size_t length = data.size() % 256;
    if (length < 3) {
        return;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    sender.Estado = Sum8(bytes, length - 1) == bytes[length - 1] ? kStateGood : kStateBad;
}

bool AbrirPuertoEnModo(TQDK& qdk) {
    return qdk.AbrirPuerto(qdk.ModoDirecto != 0 ? RecepcionSuma : RecepcionCrc);
}

}  // namespace baslink
