#include "DirectFrames.h"

namespace baslink::sim {

namespace {

constexpr uint8_t kBlockForm = 0xE0;
constexpr uint8_t kPlainWriteFlag = 0x80;
constexpr uint8_t kBlockWrite = 0x08;

uint16_t BigEndian(const Bytes& bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

}  // namespace

DirectRequest ParseDirectFrame(const Bytes& frame) {
    DirectRequest request;
    request.node = NodeFromHeader(frame[0], frame[1]);
    request.sequence = frame[2];
    std::size_t dataAt = 0;
    if (frame[3] == kBlockForm) {
        // H0 H1 seq E0 size 07|08 block offHi offLo [data] sum
        request.size = frame[4];
        request.write = frame[5] == kBlockWrite;
        request.block = frame[6];
        request.offset = BigEndian(frame, 7);
        dataAt = 9;
    } else {
        // H0 H1 seq size|0x80 offHi offLo [data] sum
        request.write = (frame[3] & kPlainWriteFlag) != 0;
        request.size = frame[3] & ~kPlainWriteFlag;
        request.offset = BigEndian(frame, 4);
        dataAt = 6;
    }
    if (request.write) {
        request.data.assign(frame.begin() + dataAt, frame.begin() + dataAt + request.size);
    }
    return request;
}

FrameFacts Describe(const DirectRequest& request) {
    FrameFacts facts;
    facts.kind = request.write ? FrameKind::DirectWrite : FrameKind::DirectRead;
    facts.node = request.node;
    facts.block = request.block;
    facts.address = request.offset;
    return facts;
}

std::optional<Bytes> AnswerDirect(const DirectRequest& request, Devices& devices) {
    const auto regulator = devices.regulators.find(request.node);
    if (regulator == devices.regulators.end()) {
        return std::nullopt;
    }
    Bytes answer{static_cast<uint8_t>(request.node & 0xFF), request.sequence};
    if (request.write) {
        regulator->second.writeFromBus(request.block, request.offset, request.data);
    } else {
        const Bytes data = regulator->second.memory(request.block, request.offset, request.size);
        answer.insert(answer.end(), data.begin(), data.end());
    }
    return answer;
}

}  // namespace baslink::sim
