#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace baslink::sim {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        Fail("cannot open a pseudo-terminal");
    }
    try {
        if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
            Fail("cannot unlock the pseudo-terminal");
        }
        char name[128];
        if (ptsname_r(master_, name, sizeof name) != 0) {
            Fail("cannot name the pseudo-terminal");
        }
        slavePath_ = name;
        slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) {
            Fail("cannot open the pseudo-terminal's slave side");
        }
        // No echo, no line editing, no translation: bytes pass as they are.
        termios settings{};
        if (tcgetattr(slave_, &settings) != 0) {
            Fail("cannot read the pseudo-terminal settings");
        }
        cfmakeraw(&settings);
        if (tcsetattr(slave_, TCSANOW, &settings) != 0) {
            Fail("cannot set the pseudo-terminal to raw mode");
        }
    } catch (...) {
        if (slave_ >= 0) {
            close(slave_);
        }
        close(master_);
        throw;
    }
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
    close(slave_);
}

std::string PseudoTerminal::heldSlavePath() const {
    return "/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(slave_);
}

void PseudoTerminal::hangUp() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

}  // namespace baslink::sim
