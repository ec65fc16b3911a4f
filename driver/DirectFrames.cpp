#include "DirectFrames.h"

#include <algorithm>
#include <limits>
#include <span>
#include <vector>

#include "BoardLink.h"
#include "Checksums.h"
#include "Driver.h"
#include "RegulatorMemory.h"

namespace baslink {
namespace {

constexpr uint8_t kNodePattern = 0x15;
constexpr uint8_t kBlockForm = 0xE0;
constexpr uint8_t kPlainWriteFlag = 0x80;
// A read reply: two leading bytes, the data, the sum.
constexpr std::size_t kReadReplyExtra = 3;
constexpr uint8_t kWriteReplyLength = 3;
constexpr std::size_t kReplyDataAt = 2;

// Everything before the data: the node header, the sequence, the form and the address.
std::vector<uint8_t> FrameHead(uint16_t node, uint8_t block, uint16_t offset, uint16_t size,
                               uint8_t sequence, bool write) {
    const NodeHeader header = HeaderOfNode(node);
    const auto sizeByte = static_cast<uint8_t>(size & 0xFF);
    const auto offHi = static_cast<uint8_t>(offset >> 8);
    const auto offLo = static_cast<uint8_t>(offset & 0xFF);
    if (block == 0) {
        return {header.h0, header.h1,
                sequence,  write ? static_cast<uint8_t>(kPlainWriteFlag | sizeByte) : sizeByte,
                offHi,     offLo};
    }
    return {header.h0, header.h1, sequence, kBlockForm, sizeByte, write ? kBlockWrite : kBlockRead,
            block,     offHi,     offLo};
}

std::vector<uint8_t> WithSum(std::vector<uint8_t> frame) {
    frame.push_back(Sum8(frame.data(), frame.size()));
    return frame;
}

// The read frame, sum included: H0 H1 seq size offHi offLo sum in block 0,
// H0 H1 seq E0 size 07 block offHi offLo sum in any other block. Sizes go as one byte.
std::vector<uint8_t> DirectReadFrame(uint16_t node, uint8_t block, uint16_t offset, uint16_t size,
                                     uint8_t sequence) {
    return WithSum(FrameHead(node, block, offset, size, sequence, false));
}

// The write frame, sum included: H0 H1 seq (80 | size) offHi offLo data sum in block 0,
// H0 H1 seq E0 size 08 block offHi offLo data sum in any other block.
std::vector<uint8_t> DirectWriteFrame(uint16_t node, uint8_t block, uint16_t offset,
                                      std::span<const uint8_t> data, uint8_t sequence) {
    std::vector<uint8_t> frame =
        FrameHead(node, block, offset, static_cast<uint16_t>(data.size()), sequence, true);
    frame.insert(frame.end(), data.begin(), data.end());
    return WithSum(std::move(frame));
}

// The direct read's own step of the port's sequence: no wrap at 200, so the byte on the
// line runs on through 255 and 0. At the top of the counter's range it starts again at 0,
// whose low byte follows 0xFF just the same, instead of overflowing.
uint8_t NextDirectReadSequence(TQDK& qdk) {
    qdk.Secuencia = qdk.Secuencia == std::numeric_limits<int32_t>::max() ? 0 : qdk.Secuencia + 1;
    return static_cast<uint8_t>(qdk.Secuencia & 0xFF);
}

}  // namespace

NodeHeader HeaderOfNode(uint16_t node) {
    return {static_cast<uint8_t>(kNodePattern | ((node >> 8) & 0x03) << 6),
            static_cast<uint8_t>(node & 0xFF)};
}

bool LeerMemoriaDirecto(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint16_t size,
                        uint8_t* destination) {
    if (Parar == 1) {
        return false;
    }
    const uint8_t sequence = NextDirectReadSequence(qdk);
    const std::vector<uint8_t> frame = DirectReadFrame(node, block, offset, size, sequence);
    const std::size_t replyLength = size + kReadReplyExtra;
    const ExchangeReply reply =
        qdk.Exchange({.state = kStateFrameSent,
                      .expectedLength = static_cast<uint8_t>(replyLength % 256),
                      .frame = frame,
                      .end = ReplyEnd::GoodCheck});
    // The sum covers the first (length mod 256) bytes only: a reply too short to hold the
    // data is a failure, not a read past its end.
    if (!reply.ok || reply.bytes.size() < replyLength) {
        CountFailedRead(qdk, destination, size);
        return false;
    }
    qdk.FallosLectura = 0;
    const auto* data = reinterpret_cast<const uint8_t*>(reply.bytes.data()) + kReplyDataAt;
    std::copy(data, data + size, destination);
    return true;
}

int EscribirMemoriaDirecto(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint16_t size,
                           const uint8_t* source) {
    if (Parar == 1) {
        return 1;
    }
    const uint8_t sequence = SiguienteSecuencia(qdk);
    const std::vector<uint8_t> frame =
        DirectWriteFrame(node, block, offset, {source, size}, sequence);
    const ExchangeReply reply = qdk.Exchange({.state = kStateFrameSent,
                                              .expectedLength = kWriteReplyLength,
                                              .frame = frame,
                                              .end = ReplyEnd::GoodCheck});
    return reply.ok ? 0 : 1;
}

}  // namespace baslink
