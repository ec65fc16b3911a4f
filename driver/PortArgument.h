#pragma once
// The check of a port argument that the exports report with their own two messages.

#include <cstdint>
#include <string>

#include "PortObjects.h"
#include "SeccionCritica.h"

namespace baslink {

// True for a port of 1 to 20. Port 0 shows `zeroText`; a port above 20 shows `aboveText`
// followed by 20.
inline bool PortArgumentValid(uint8_t port, const char* zeroText, const char* aboveText) {
    if (port == 0) {
        ShowLibraryMessage(zeroText);
        return false;
    }
    if (port > PortTable::kPortCount) {
        ShowLibraryMessage(aboveText + std::to_string(PortTable::kPortCount));
        return false;
    }
    return true;
}

}  // namespace baslink
