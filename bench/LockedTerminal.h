#pragma once
// A pseudo-terminal that another holder has locked, as a program using the library holds
// its port: an exclusive advisory lock (flock) on a descriptor of the terminal side. Such
// locks belong to the open file, so an open of the terminal by this very process still
// finds it locked. The lock ends with the object.

#include <string>

#include "PseudoTerminal.h"

namespace baslink::bench {

class LockedTerminal {
public:
    // Throws std::system_error when the terminal cannot be made or locked.
    LockedTerminal();

    const std::string& Path() const { return terminal_.slavePath(); }

private:
    sim::PseudoTerminal terminal_;
};

}  // namespace baslink::bench
