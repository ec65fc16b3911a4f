#include "LinkMode.h"

#include "BoardLink.h"
#include "Checksums.h"
#include "Driver.h"

namespace baslink {

std::span<const uint8_t> JudgedBytes(const std::string& data) {
    const std::size_t length = data.size() % 256;
    if (Parar == 1 || length < 3) {
        return {};
    }
    return {reinterpret_cast<const uint8_t*>(data.data()), length};
}

void RecepcionSuma(TQDK&, TThreadComPort& sender, const std::string& data) {
    const std::span<const uint8_t> bytes = JudgedBytes(data);
    if (bytes.empty()) {
        return;
    }
    const std::size_t last = bytes.size() - 1;
    sender.Estado = Sum8(bytes.data(), last) == bytes[last] ? kStateGood : kStateBad;
}

bool AbrirPuertoEnModo(TQDK& qdk) {
    return qdk.AbrirPuerto(qdk.ModoDirecto != 0 ? RecepcionSuma : RecepcionCrc);
}

bool OpenInMode(TQDK& qdk, uint8_t mode) {
    qdk.ModoDirecto = mode;
    return AbrirPuertoEnModo(qdk);
}

}  // namespace baslink
