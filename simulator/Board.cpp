#include "Board.h"

#include <algorithm>

namespace baslink::sim {

namespace {

constexpr uint8_t kMemoryPlain = 1;
constexpr uint8_t kBitExchange = 3;
constexpr uint8_t kMemoryBlock = 4;
constexpr uint8_t kEepromRead = 5;
constexpr uint8_t kEepromWrite = 6;
constexpr uint8_t kReset = 7;
constexpr std::size_t kResetLength = 5;  // the reset is 07 five times over

constexpr uint8_t kStatusFailed = 0;
constexpr uint8_t kStatusDone = 1;

// The 5th byte of a memory command: what to do and whether a block byte follows.
constexpr uint8_t kPlainRead = 0x00;
constexpr uint8_t kPlainWrite = 0x04;
constexpr uint8_t kBlockRead = 0x07;
constexpr uint8_t kBlockWrite = 0x08;

uint16_t BigEndian(const Bytes& bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

uint8_t SequenceOf(const Bytes& payload) {
    return payload.size() > 1 ? payload[1] : 0;
}

Bytes Refused(const Bytes& payload) {
    return {payload[0], SequenceOf(payload), kStatusFailed};
}

// A memory command laid out: where its fields sit depends on the block byte.
struct MemoryRequest {
    bool valid = false;
    bool write = false;
    uint16_t node = 0;
    uint8_t block = 0;
    uint16_t offset = 0;
    std::size_t size = 0;
    std::size_t dataAt = 0;
};

MemoryRequest ParseMemoryCommand(const Bytes& payload) {
    MemoryRequest request;
    const bool withBlock = payload[0] == kMemoryBlock;
    const std::size_t head = withBlock ? 9 : 8;
    if (payload.size() < head || !IsNodeHeader(payload[2])) {
        return request;
    }
    const uint8_t operation = payload[4];
    if (withBlock ? operation != kBlockRead && operation != kBlockWrite
                  : operation != kPlainRead && operation != kPlainWrite) {
        return request;
    }
    request.write = operation == kPlainWrite || operation == kBlockWrite;
    request.node = NodeFromHeader(payload[2], payload[3]);
    request.block = withBlock ? payload[5] : 0;
    request.offset = BigEndian(payload, head - 3);
    request.size = payload[head - 1];
    request.dataAt = head;
    request.valid = payload.size() == head + (request.write ? request.size : 0);
    return request;
}

}  // namespace

Board::Board() : eeprom_(kEepromSize, 0xFF) {}

FrameFacts Board::Describe(const Bytes& payload) {
    FrameFacts facts;
    facts.kind = FrameKind::BoardSend;
    if (payload.empty()) {
        return facts;
    }
    facts.command = payload[0];
    switch (payload[0]) {
        case kMemoryPlain:
        case kMemoryBlock: {
            const MemoryRequest request = ParseMemoryCommand(payload);
            if (request.valid) {
                facts.node = request.node;
                facts.block = request.block;
                facts.address = request.offset;
            }
            break;
        }
        case kBitExchange:
            if (payload.size() >= 8) {
                facts.node = payload[7];  // the module address, second byte of the stream
            }
            break;
        case kEepromRead:
        case kEepromWrite:
            if (payload.size() >= 5) {
                facts.address = BigEndian(payload, 2);
            }
            break;
        default:
            break;
    }
    return facts;
}

void Board::execute(const Bytes& payload, Devices& devices) {
    replyFacts_ = Describe(payload);
    replyFacts_.kind = FrameKind::BoardFetch;
    if (payload.empty()) {
        reply_.clear();
        return;
    }
    switch (payload[0]) {
        case kMemoryPlain:
        case kMemoryBlock:
            reply_ = memoryCommand(payload, devices);
            break;
        case kBitExchange:
            reply_ = bitExchange(payload, devices);
            break;
        case kEepromRead:
            reply_ = eepromRead(payload);
            break;
        case kEepromWrite:
            reply_ = eepromWrite(payload);
            break;
        case kReset:
            if (payload != Bytes(kResetLength, kReset)) {
                reply_ = Refused(payload);
                break;
            }
            // A restart forgets the reply in hand; there is nothing to fetch.
            ++resets_;
            reply_.clear();
            break;
        default:
            reply_ = Refused(payload);
            break;
    }
}

Bytes Board::reply(std::size_t length) const {
    Bytes out(reply_.begin(), reply_.begin() + std::min(length, reply_.size()));
    out.resize(length, 0);
    return out;
}

Bytes Board::memoryCommand(const Bytes& payload, Devices& devices) {
    const MemoryRequest request = ParseMemoryCommand(payload);
    const auto regulator = devices.regulators.find(request.node);
    if (!request.valid || regulator == devices.regulators.end()) {
        return Refused(payload);
    }
    Bytes out{payload[0], SequenceOf(payload), kStatusDone};
    if (request.write) {
        const Bytes data(payload.begin() + request.dataAt, payload.end());
        regulator->second.writeFromBus(request.block, request.offset, data);
    } else {
        const Bytes data = regulator->second.memory(request.block, request.offset, request.size);
        out.insert(out.end(), data.begin(), data.end());
    }
    return out;
}

// 03 seq bitsOut bitsIn param nOut data[nOut]: the stream goes to the module whose
// address is its second byte; the reply carries the module's answer bit count and bytes.
Bytes Board::bitExchange(const Bytes& payload, Devices& devices) {
    if (payload.size() < 6 || payload.size() != 6u + payload[5]) {
        return Refused(payload);
    }
    const Bytes stream(payload.begin() + 6, payload.end());
    if (stream.size() < 2) {
        return Refused(payload);
    }
    const auto module = devices.modules.find(stream[1]);
    if (module == devices.modules.end()) {
        return Refused(payload);
    }
    const auto answer = module->second.serve(stream, payload[2]);
    if (!answer) {
        return Refused(payload);
    }
    Bytes out{payload[0], SequenceOf(payload), kStatusDone, static_cast<uint8_t>(answer->bitCount)};
    out.insert(out.end(), answer->bytes.begin(), answer->bytes.end());
    return out;
}

// 05 seqE addrHi addrLo size: the data follows the echo directly. These replies
// carry no status, so a malformed request gets no echo (sequences run 1 to 200).
Bytes Board::eepromRead(const Bytes& payload) const {
    if (payload.size() != 5) {
        return {payload[0]};
    }
    Bytes out{payload[0], payload[1]};
    const Bytes data = eeprom(BigEndian(payload, 2), payload[4]);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// 06 seqE addrHi addrLo size data[size]
Bytes Board::eepromWrite(const Bytes& payload) {
    if (payload.size() < 5 || payload.size() != 5u + payload[4]) {
        return {payload[0]};
    }
    setEeprom(BigEndian(payload, 2), Bytes(payload.begin() + 5, payload.end()));
    return {payload[0], payload[1], kStatusDone};
}

Bytes Board::eeprom(uint16_t address, std::size_t size) const {
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = eeprom_[(address + i) % kEepromSize];
    }
    return out;
}

void Board::setEeprom(uint16_t address, const Bytes& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        eeprom_[(address + i) % kEepromSize] = bytes[i];
    }
}

}  // namespace baslink::sim
