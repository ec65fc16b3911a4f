#include "TestLine.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace baslink::testing {

void TestLine::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(pty_.master(), bytes.data() + done, bytes.size() - done);
        if (put <= 0) {
            throw std::runtime_error("write to the pseudo-terminal failed");
        }
        done += static_cast<std::size_t>(put);
    }
}

std::string TestLine::Receive(std::size_t count) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(5);
    std::string bytes;
    while (bytes.size() < count && steady_clock::now() < deadline) {
        pollfd ready{pty_.master(), POLLIN, 0};
        if (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN)) {
            char chunk[256];
            const ssize_t got = read(pty_.master(), chunk, sizeof chunk);
            if (got > 0) {
                bytes.append(chunk, static_cast<std::size_t>(got));
            }
        }
    }
    return bytes;
}

int TestLine::PendingAtDevice() const {
    int queued = 0;
    ioctl(pty_.slave(), FIONREAD, &queued);
    return queued;
}

termios TestLine::Settings() const {
    termios settings{};
    tcgetattr(pty_.slave(), &settings);
    return settings;
}

}  // namespace baslink::testing
