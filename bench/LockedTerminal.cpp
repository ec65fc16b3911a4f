#include "LockedTerminal.h"

#include <sys/file.h>

#include <cerrno>
#include <system_error>

namespace baslink::bench {

LockedTerminal::LockedTerminal() {
    if (flock(terminal_.slave(), LOCK_EX | LOCK_NB) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot lock a pseudo-terminal");
    }
}

}  // namespace baslink::bench
