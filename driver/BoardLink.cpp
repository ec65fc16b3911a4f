#include "BoardLink.h"

#include <algorithm>
#include <array>
#include <vector>

#include "Checksums.h"
#include "LinkMode.h"

namespace baslink {
namespace {

constexpr int32_t kMaxSequence = 200;
constexpr uint8_t kAcknowledgementLength = 8;

void AppendCrc(uint8_t* frame, std::size_t length) {
    const uint16_t crc = Crc16Modbus(frame, length);
    frame[length] = static_cast<uint8_t>(crc & 0xFF);
    frame[length + 1] = static_cast<uint8_t>(crc >> 8);
}

// The send frame of a payload of n bytes, CRC included.
std::vector<uint8_t> SendFrame(uint8_t slave, uint8_t function, const uint8_t* payload,
                               std::size_t n) {
    std::vector<uint8_t> frame(n + 9);
    frame[0] = slave;
    frame[1] = function;
    frame[2] = 0;
    frame[3] = 0;
    frame[4] = static_cast<uint8_t>(n >> 8);
    frame[5] = static_cast<uint8_t>(n & 0xFF);
    frame[6] = static_cast<uint8_t>(n & 0xFF);
    std::copy(payload, payload + n, frame.begin() + 7);
    AppendCrc(frame.data(), n + 7);
    return frame;
}

// The 8-byte fetch frame for a reply payload of `len` bytes, CRC included.
std::array<uint8_t, 8> FetchFrame(uint8_t slave, uint8_t function, uint16_t start, uint16_t len) {
    std::array<uint8_t, 8> frame{slave,
                                 function,
                                 static_cast<uint8_t>(start >> 8),
                                 static_cast<uint8_t>(start & 0xFF),
                                 static_cast<uint8_t>(len >> 8),
                                 static_cast<uint8_t>(len & 0xFF)};
    AppendCrc(frame.data(), 6);
    return frame;
}

}  // namespace

int32_t AdvanceSequence(int32_t& sequence) {
    sequence += 1;
    if (sequence > kMaxSequence) {
        sequence = 1;
    }
    return sequence;
}

uint8_t SiguienteSecuencia(TQDK& qdk) {
    return static_cast<uint8_t>(AdvanceSequence(qdk.Secuencia) & 0xFF);
}

bool EnviarTramaCrc(TQDK& qdk, uint8_t slave, uint8_t function, const uint8_t* payload,
                    std::size_t n) {
    // A payload above kMaxPayload makes a frame that the exchange refuses.
    const std::vector<uint8_t> frame = SendFrame(slave, function, payload, n);
    return qdk
        .Exchange({.state = kStateFrameSent,
                   .expectedLength = kAcknowledgementLength,
                   .frame = frame,
                   .end = ReplyEnd::GoodCheck})
        .ok;
}

bool EnviarQdk(TQDK& qdk, const uint8_t* payload, std::size_t n) {
    return EnviarTramaCrc(qdk, kBoardAddress, kSendFunction, payload, n);
}

bool PedirTramaCrc(TQDK& qdk, uint8_t function, uint16_t start, uint8_t slave, uint16_t len,
                   uint8_t* buffer) {
    const std::array<uint8_t, 8> frame = FetchFrame(slave, function, start, len);
    const ExchangeReply reply =
        qdk.Exchange({.state = kStateFetchSent,
                      .expectedLength = static_cast<uint8_t>((len + 5) % 256),
                      .frame = frame,
                      .end = ReplyEnd::AnyCheck});
    // The check covers only the first (length mod 256) bytes; a reply too short to hold
    // the payload is refused rather than read past its end.
    if (!reply.ok || reply.bytes.size() < static_cast<std::size_t>(len) + 4) {
        return false;
    }
    for (std::size_t j = 1; j <= len; ++j) {
        buffer[j] = static_cast<uint8_t>(reply.bytes[j + 3]);
    }
    return true;
}

bool RecibirQdk(TQDK& qdk, uint8_t* buffer, uint16_t len) {
    return PedirTramaCrc(qdk, kFetchFunction, kFetchStart, kBoardAddress, len, buffer);
}

void RecepcionCrc(TQDK&, TThreadComPort& sender, const std::string& data) {
    const std::span<const uint8_t> bytes = JudgedBytes(data);
    if (bytes.empty()) {
        return;
    }
    const std::size_t length = bytes.size();
    const uint16_t received = static_cast<uint16_t>(bytes[length - 2] | (bytes[length - 1] << 8));
    sender.Estado = Crc16Modbus(bytes.data(), length - 2) == received ? kStateGood : kStateBad;
}

}  // namespace baslink
