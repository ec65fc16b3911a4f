#include "RawBoardClient.h"

#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "Checksums.h"

namespace baslink::bench {
namespace {

void AppendCrc(std::vector<uint8_t>& frame) {
    const uint16_t crc = Crc16Modbus(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
}

bool EndsInGoodCrc(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 3) {
        return false;
    }
    const std::size_t body = bytes.size() - 2;
    return Crc16Modbus(bytes.data(), body) == (bytes[body] | bytes[body + 1] << 8);
}

}  // namespace

RawBoardClient::RawBoardClient(const std::string& devicePath) {
    fd_ = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios line{};
    if (fd_ < 0 || tcgetattr(fd_, &line) != 0) {
        throw std::runtime_error("cannot open " + devicePath);
    }
    cfmakeraw(&line);
    cfsetspeed(&line, B115200);
    line.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd_, TCSANOW, &line);
    tcflush(fd_, TCIOFLUSH);
}

RawBoardClient::~RawBoardClient() {
    close(fd_);
}

bool RawBoardClient::ReadRecord(uint16_t address, uint8_t size, uint8_t* destination) {
    const uint8_t sequence = NextSequence();
    std::vector<uint8_t> reply;
    if (!Request({5, sequence, static_cast<uint8_t>(address >> 8),
                  static_cast<uint8_t>(address & 0xFF), size}) ||
        !Fetch(static_cast<uint8_t>(size + 3), reply) || reply[4] != sequence) {
        return false;
    }
    for (uint8_t i = 0; i < size; ++i) {
        destination[i] = reply[5 + i];
    }
    return true;
}

bool RawBoardClient::WriteRecord(uint16_t address, uint8_t size, const uint8_t* source) {
    const uint8_t sequence = NextSequence();
    std::vector<uint8_t> payload{6, sequence, static_cast<uint8_t>(address >> 8),
                                 static_cast<uint8_t>(address & 0xFF), size};
    payload.insert(payload.end(), source, source + size);
    std::vector<uint8_t> reply;
    return Request(payload) && Fetch(3, reply) && reply[4] == sequence;
}

bool RawBoardClient::Request(const std::vector<uint8_t>& payload) {
    const auto n = static_cast<uint8_t>(payload.size());
    std::vector<uint8_t> frame{1, 0x65, 0, 0, 0, n, n};
    frame.insert(frame.end(), payload.begin(), payload.end());
    std::vector<uint8_t> acknowledgement;
    return Transact(std::move(frame), 8, acknowledgement);
}

bool RawBoardClient::Fetch(uint8_t length, std::vector<uint8_t>& reply) {
    return Transact({1, 0x64, 0, 100, 0, length}, length + 5u, reply);
}

bool RawBoardClient::Transact(std::vector<uint8_t> frame, std::size_t replyLength,
                              std::vector<uint8_t>& reply) {
    AppendCrc(frame);
    if (write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) {
        return false;
    }
    reply.clear();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (reply.size() < replyLength) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd_, &readable);
        timeval timeout{left.count() / 1000000, left.count() % 1000000};
        if (select(fd_ + 1, &readable, nullptr, nullptr, &timeout) <= 0) {
            continue;
        }
        uint8_t chunk[256];
        const ssize_t got = read(fd_, chunk, sizeof chunk);
        if (got > 0) {
            reply.insert(reply.end(), chunk, chunk + got);
        }
    }
    return EndsInGoodCrc(reply);
}

uint8_t RawBoardClient::NextSequence() {
    sequence_ = sequence_ >= 200 ? 1 : sequence_ + 1;
    return sequence_;
}

}  // namespace baslink::bench
