#include "RegulatorMemory.h"

#include <algorithm>

#include "BoardMemory.h"
#include "DirectFrames.h"
#include "Driver.h"

namespace baslink {
namespace {

constexpr uint8_t kMaxReadFailures = 10;

}  // namespace

void CountFailedRead(TQDK& qdk, uint8_t* destination, std::size_t size) {
    qdk.FallosLectura = std::min<uint8_t>(qdk.FallosLectura + 1, kMaxReadFailures);
    if (FailedReadsFill(qdk)) {
        std::fill_n(destination, size, uint8_t{0xFF});
    }
}

bool FailedReadsFill(const TQDK& qdk) {
    return MemoriaACeroSiFallo == 1 && qdk.FallosLectura >= kMaxReadFailures;
}

bool ReadRegulatorMemory(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                         uint8_t* destination) {
    return qdk.ModoDirecto != 0 ? LeerMemoriaDirecto(qdk, node, block, offset, size, destination)
                                : LeerMemoriaQdk(qdk, node, block, offset, size, destination);
}

bool WriteRegulatorMemory(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                          const uint8_t* source) {
    // The direct write answers 0 for an acknowledged frame.
    return qdk.ModoDirecto != 0
               ? EscribirMemoriaDirecto(qdk, node, block, offset, size, source) == 0
               : EscribirMemoriaQdk(qdk, node, block, offset, size, source);
}

}  // namespace baslink
