#include "BusEngine.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <system_error>

#include "Checksums.h"
#include "DirectFrames.h"
#include "EepromFile.h"

namespace baslink::sim {

namespace {

constexpr uint8_t kEepromWriteCommand = 6;
constexpr std::size_t kSendHead = 7;

bool HasStatusByte(const std::optional<uint8_t>& command) {
    return command && (*command == 1 || *command == 3 || *command == 4);
}

Bytes WithCrc(Bytes body) {
    const uint16_t crc = Crc16Modbus(body.data(), body.size());
    body.push_back(static_cast<uint8_t>(crc & 0xFF));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    return body;
}

Bytes WithSum(Bytes body) {
    body.push_back(Sum8(body.data(), body.size()));
    return body;
}

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

}  // namespace

BusEngine::BusEngine(BusState& state, int masterFd) : state_(state), master_(masterFd) {
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot create an eventfd");
    }
    thread_ = std::thread([this] { run(); });
}

BusEngine::~BusEngine() {
    stop();
    close(wake_);
}

void BusEngine::stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_ = true;
    wake();
    thread_.join();
}

void BusEngine::wake() {
    const uint64_t one = 1;
    // A full counter already means "look again", so a failed write loses nothing.
    [[maybe_unused]] const auto written = write(wake_, &one, sizeof one);
}

void BusEngine::run() {
    while (!stopping_) {
        bool watchStale = false;
        {
            std::lock_guard lock(state_.mutex);
            watchStale = !buffer_.empty() && state_.rawAnswers.empty();
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}};
        const int timeout = watchStale ? MillisecondsUntil(lastByte_ + kStaleFrameTime) : -1;
        if (poll(fds, 2, timeout) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::cerr << "simulated bus: poll failed: " << std::strerror(errno) << '\n';
            return;
        }
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const auto drained = read(wake_, &count, sizeof count);
        }
        if ((fds[0].revents & POLLIN) && !readAvailable()) {
            return;
        }
        if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
            // Not expected while the slave side is held open; do not spin on it.
            sleepUntil(Clock::now() + std::chrono::milliseconds(10));
        }
        processBuffer();
        dropStaleBytes();
    }
}

bool BusEngine::readAvailable() {
    uint8_t chunk[4096];
    for (;;) {
        const ssize_t got = read(master_, chunk, sizeof chunk);
        if (got > 0) {
            const auto now = Clock::now();
            if (buffer_.empty()) {
                frameStart_ = now;
            }
            lastByte_ = now;
            buffer_.insert(buffer_.end(), chunk, chunk + got);
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        }
        std::cerr << "simulated bus: reading the line failed: "
                  << (got == 0 ? "end of file" : std::strerror(errno)) << '\n';
        return false;
    }
}

void BusEngine::processBuffer() {
    for (;;) {
        std::optional<Outgoing> outgoing;
        const Clock::time_point requestStart = frameStart_;
        {
            std::lock_guard lock(state_.mutex);
            if (!state_.rawAnswers.empty()) {
                if (!takeRawExchange(outgoing)) {
                    return;
                }
            } else {
                const ScanResult scan = ScanFrame(buffer_.data(), buffer_.size());
                if (scan.status == ScanStatus::Incomplete) {
                    return;
                }
                if (scan.status == ScanStatus::Junk) {
                    buffer_.erase(buffer_.begin());
                    continue;
                }
                const auto end = buffer_.begin() + static_cast<std::ptrdiff_t>(scan.length);
                const Bytes frame(buffer_.begin(), end);
                state_.record({Direction::Received, scan.kind, frame, Clock::now(), scan.checkOk});
                // A frame that fails its check may be garbage hiding a real frame
                // further on, so only its first byte goes.
                buffer_.erase(buffer_.begin(), scan.checkOk ? end : buffer_.begin() + 1);
                if (scan.checkOk) {
                    outgoing = answerFrame(scan, frame);
                }
            }
            frameStart_ = lastByte_;
        }
        if (outgoing) {
            send(std::move(*outgoing), requestStart);
        }
    }
}

void BusEngine::dropStaleBytes() {
    while (!buffer_.empty() && Clock::now() - lastByte_ >= kStaleFrameTime) {
        {
            std::lock_guard lock(state_.mutex);
            if (!state_.rawAnswers.empty()) {
                return;
            }
        }
        buffer_.erase(buffer_.begin());
        processBuffer();
    }
}

bool BusEngine::takeRawExchange(std::optional<Outgoing>& outgoing) {
    const RawExchange& exchange = state_.rawAnswers.front();
    if (exchange.requestLength > buffer_.size()) {
        return false;
    }
    const auto end = buffer_.begin() + static_cast<std::ptrdiff_t>(exchange.requestLength);
    if (exchange.requestLength > 0) {
        state_.record(
            {Direction::Received, FrameKind::Raw, Bytes(buffer_.begin(), end), Clock::now(), true});
    }
    buffer_.erase(buffer_.begin(), end);
    const AnswerShaping shaping = state_.faults.take(FrameFacts{.kind = FrameKind::Raw});
    if (!shaping.drop) {
        outgoing = Outgoing{FrameKind::Raw, exchange.answer, shaping, exchange.requestLength};
    }
    state_.rawAnswers.pop_front();
    return true;
}

std::optional<BusEngine::Outgoing> BusEngine::answerFrame(const ScanResult& scan,
                                                          const Bytes& frame) {
    switch (scan.kind) {
        case FrameKind::BoardSend:
            return answerBoardSend(frame);
        case FrameKind::BoardFetch:
            return answerBoardFetch(frame);
        case FrameKind::DirectRead:
        case FrameKind::DirectWrite:
            return answerDirect(scan.kind, frame);
        case FrameKind::Raw:
            break;
    }
    return std::nullopt;
}

// The acknowledgement repeats the head of the send: 01 65, start, length.
std::optional<BusEngine::Outgoing> BusEngine::answerBoardSend(const Bytes& frame) {
    const Bytes payload(frame.begin() + kSendHead, frame.end() - 2);
    const FrameFacts facts = Board::Describe(payload);
    const AnswerShaping shaping = state_.faults.take(facts);
    if (shaping.drop) {
        return std::nullopt;
    }
    state_.board.execute(payload, state_.devices);
    if (facts.command == kEepromWriteCommand) {
        saveEepromFile();
    }
    Bytes ack = WithCrc({frame.begin(), frame.begin() + 6});
    return Outgoing{FrameKind::BoardSend, std::move(ack), shaping, frame.size()};
}

// The reply: 01 64, the length's low byte, the reply payload, the CRC.
std::optional<BusEngine::Outgoing> BusEngine::answerBoardFetch(const Bytes& frame) {
    const FrameFacts& facts = state_.board.replyFacts();
    const AnswerShaping shaping = state_.faults.take(facts);
    if (shaping.drop) {
        return std::nullopt;
    }
    const std::size_t length = frame[4] << 8 | frame[5];
    Bytes payload = state_.board.reply(length);
    if (shaping.wrongSequence && length > 1) {
        ++payload[1];
    }
    if (shaping.statusZero && length > 2 && HasStatusByte(facts.command)) {
        payload[2] = 0;
    }
    Bytes body{frame[0], frame[1], static_cast<uint8_t>(length & 0xFF)};
    body.insert(body.end(), payload.begin(), payload.end());
    return Outgoing{FrameKind::BoardFetch, WithCrc(std::move(body)), shaping, frame.size()};
}

std::optional<BusEngine::Outgoing> BusEngine::answerDirect(FrameKind kind, const Bytes& frame) {
    const DirectRequest request = ParseDirectFrame(frame);
    const AnswerShaping shaping = state_.faults.take(Describe(request));
    if (shaping.drop) {
        return std::nullopt;
    }
    auto answer = AnswerDirect(request, state_.devices);
    if (!answer) {
        return std::nullopt;
    }
    return Outgoing{kind, WithSum(std::move(*answer)), shaping, frame.size()};
}

void BusEngine::saveEepromFile() {
    if (state_.eepromFile.empty()) {
        return;
    }
    try {
        SaveEeprom(state_.eepromFile, state_.board.eepromImage());
    } catch (const std::exception& error) {
        std::cerr << "simulated bus: " << error.what() << '\n';
    }
}

void BusEngine::send(Outgoing outgoing, Clock::time_point requestStart) {
    Bytes& bytes = outgoing.bytes;
    if (bytes.empty()) {
        return;
    }
    if (outgoing.shaping.badCheck) {
        bytes.back() ^= 0xFF;
    }
    LineTiming timing;
    {
        std::lock_guard lock(state_.mutex);
        timing = state_.timing;
    }
    Clock::time_point due = Clock::now();
    if (timing.enabled) {
        const auto onLine = timing.byteTime * (outgoing.requestLength + bytes.size());
        due = std::max(due, requestStart + std::chrono::duration_cast<Clock::duration>(
                                               onLine + timing.turnaround));
    }
    if (!sleepUntil(due + outgoing.shaping.delay)) {
        return;
    }
    // Logged before the first byte goes, so whoever has read the answer finds it
    // in the log too.
    {
        std::lock_guard lock(state_.mutex);
        state_.record({Direction::Sent, outgoing.kind, bytes, Clock::now(), true});
    }
    const std::size_t chunk =
        outgoing.shaping.chunkSize ? outgoing.shaping.chunkSize : bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        if (at > 0 && !sleepUntil(Clock::now() + outgoing.shaping.chunkGap)) {
            return;
        }
        if (!writeAll(bytes.data() + at, std::min(chunk, bytes.size() - at))) {
            return;
        }
    }
}

// Sleeps on the wake-up descriptor so that stop() cuts the sleep short.
bool BusEngine::sleepUntil(Clock::time_point deadline) {
    while (!stopping_) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return true;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<time_t>(seconds.count()),
                            static_cast<long>((left - seconds) / std::chrono::nanoseconds(1))};
        pollfd fd{wake_, POLLIN, 0};
        if (ppoll(&fd, 1, &wait, nullptr) > 0) {
            uint64_t count = 0;
            [[maybe_unused]] const auto drained = read(wake_, &count, sizeof count);
        }
    }
    return false;
}

bool BusEngine::writeAll(const uint8_t* data, std::size_t size) {
    while (size > 0 && !stopping_) {
        const ssize_t written = write(master_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd fd{master_, POLLOUT, 0};
            poll(&fd, 1, 100);
        } else if (written < 0 && errno != EINTR) {
            std::cerr << "simulated bus: writing the line failed: " << std::strerror(errno) << '\n';
            return false;
        }
    }
    return size == 0;
}

}  // namespace baslink::sim
