#include "LineClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

#include "Checksums.h"

namespace baslink::sim::test {

LineClient::LineClient(const std::filesystem::path& port) {
    fd_ = open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        throw std::runtime_error("cannot open " + port.string());
    }
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B115200);
    tcsetattr(fd_, TCSANOW, &settings);
    tcflush(fd_, TCIOFLUSH);
}

LineClient::~LineClient() {
    close(fd_);
}

void LineClient::write(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            throw std::runtime_error("write to the line failed");
        }
        done += static_cast<std::size_t>(written);
    }
}

Bytes LineClient::read(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        uint8_t chunk[512];
        const ssize_t n = ::read(fd_, chunk, std::min(sizeof chunk, count - got.size()));
        if (n > 0) {
            got.insert(got.end(), chunk, chunk + n);
        }
    }
    return got;
}

Bytes LineClient::exchange(const Bytes& request, std::size_t count) {
    write(request);
    return read(count);
}

bool LineClient::silentFor(std::chrono::milliseconds quiet) {
    pollfd fd{fd_, POLLIN, 0};
    return poll(&fd, 1, static_cast<int>(quiet.count())) == 0;
}

Bytes SendFrame(const Bytes& payload) {
    const auto n = static_cast<uint8_t>(payload.size());
    Bytes frame;
    frame.reserve(payload.size() + 9);
    frame = {0x01, 0x65, 0x00, 0x00, static_cast<uint8_t>(payload.size() >> 8), n, n};
    for (const uint8_t byte : payload) {
        frame.push_back(byte);
    }
    const uint16_t crc = Crc16Modbus(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

Bytes FetchFrame(uint16_t length) {
    Bytes frame{0x01,
                0x64,
                0x00,
                0x64,
                static_cast<uint8_t>(length >> 8),
                static_cast<uint8_t>(length & 0xFF)};
    const uint16_t crc = Crc16Modbus(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

Bytes WithSum(Bytes body) {
    body.push_back(Sum8(body.data(), body.size()));
    return body;
}

bool CrcOk(const Bytes& frame) {
    if (frame.size() < 3) {
        return false;
    }
    const uint16_t crc = Crc16Modbus(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame.back() == crc >> 8;
}

bool SumOk(const Bytes& frame) {
    return !frame.empty() && Sum8(frame.data(), frame.size() - 1) == frame.back();
}

}  // namespace baslink::sim::test
