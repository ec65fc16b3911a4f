#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace baslink::testing {

PseudoTerminal::PseudoTerminal() {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    slavePath_ = ttyname(slave_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
    HangUp();
    close(slave_);
}

void PseudoTerminal::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(master_, bytes.data() + done, bytes.size() - done);
        if (put <= 0) {
            throw std::runtime_error("write to the pseudo-terminal failed");
        }
        done += static_cast<std::size_t>(put);
    }
}

std::string PseudoTerminal::Receive(std::size_t count) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(5);
    std::string bytes;
    while (bytes.size() < count && steady_clock::now() < deadline) {
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN)) {
            char chunk[256];
            const ssize_t got = read(master_, chunk, sizeof chunk);
            if (got > 0) {
                bytes.append(chunk, static_cast<std::size_t>(got));
            }
        }
    }
    return bytes;
}

int PseudoTerminal::PendingAtDevice() const {
    int queued = 0;
    ioctl(slave_, FIONREAD, &queued);
    return queued;
}

termios PseudoTerminal::Settings() const {
    termios settings{};
    tcgetattr(slave_, &settings);
    return settings;
}

void PseudoTerminal::HangUp() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

}  // namespace baslink::testing
