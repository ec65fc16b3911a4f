#include "BoardMemory.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "BoardLink.h"
#include "Clock.h"
#include "DirectFrames.h"
#include "RegulatorMemory.h"
#include "UserInterface.h"

namespace baslink {
namespace {

constexpr uint8_t kPlainCommand = 1;
constexpr uint8_t kBlockCommand = 4;
// The 5th payload byte in block 0; the block forms use kBlockRead and kBlockWrite there,
// followed by the block byte.
constexpr uint8_t kPlainRead = 0x00;
constexpr uint8_t kPlainWrite = 0x04;

constexpr uint8_t kStatusDone = 1;
// r1 echoes the sequence, r2 is the status, the data follow from r3.
constexpr uint16_t kReplyHead = 3;
constexpr uint16_t kWriteReplyLength = 3;
constexpr uint8_t kMaxLinkFailures = 100;
// Gives the board time to get the regulator's answer before it is fetched.
constexpr uint32_t kRelayPauseMs = 100;

// The request payloads: 01 seq H0 H1 00 offHi offLo size for a read in block 0,
// 04 seq H0 H1 07 block offHi offLo size in any other; a write has 04 (block 0) or
// 08 in place of 00 and 07, and its data after the size.
std::vector<uint8_t> Payload(uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                             uint8_t sequence, bool write) {
    const NodeHeader header = HeaderOfNode(node);
    std::vector<uint8_t> payload{block == 0 ? kPlainCommand : kBlockCommand, sequence, header.h0,
                                 header.h1};
    if (block == 0) {
        payload.push_back(write ? kPlainWrite : kPlainRead);
    } else {
        payload.push_back(write ? kBlockWrite : kBlockRead);
        payload.push_back(block);
    }
    payload.insert(payload.end(),
                   {static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset & 0xFF), size});
    return payload;
}

void CountLinkFailure(TQDK& qdk) {
    qdk.FallosQdk = std::min<uint8_t>(qdk.FallosQdk + 1, kMaxLinkFailures);
}

bool ConfirmedBy(const uint8_t* reply, uint8_t sequence) {
    return reply[1] == sequence && reply[2] == kStatusDone;
}

std::vector<uint8_t> BoardReadPayload(uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                                      uint8_t sequence) {
    return Payload(node, block, offset, size, sequence, false);
}

std::vector<uint8_t> BoardWritePayload(uint16_t node, uint8_t block, uint16_t offset,
                                       std::span<const uint8_t> data, uint8_t sequence) {
    std::vector<uint8_t> payload =
        Payload(node, block, offset, static_cast<uint8_t>(data.size()), sequence, true);
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

// Room for the fetched reply: positions 0 .. size + 3.
using ReplyBuffer = std::array<uint8_t, 256 + kReplyHead>;

}  // namespace

bool LeerMemoriaQdk(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                    uint8_t* destination) {
    const uint8_t sequence = SiguienteSecuencia(qdk);
    const std::vector<uint8_t> payload = BoardReadPayload(node, block, offset, size, sequence);
    // The reply lands in a buffer whose position 0 holds the command byte, as the
    // request's did.
    ReplyBuffer reply{payload[0]};
    const auto linkFailed = [&] {
        CountFailedRead(qdk, destination, size);
        CountLinkFailure(qdk);
        return false;
    };
    if (!EnviarQdk(qdk, payload.data(), payload.size())) {
        return linkFailed();
    }
    qdk.FallosQdk = 0;
    platform::SleepMs(kRelayPauseMs);
    platform::PumpMessages();
    if (!RecibirQdk(qdk, reply.data(), size + kReplyHead)) {
        return linkFailed();
    }
    qdk.FallosQdk = 0;
    if (!ConfirmedBy(reply.data(), sequence)) {
        CountFailedRead(qdk, destination, size);
        return false;
    }
    qdk.FallosLectura = 0;
    std::copy_n(reply.begin() + kReplyHead, size, destination);
    return true;
}

bool EscribirMemoriaQdk(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                        const uint8_t* source) {
    const uint8_t sequence = SiguienteSecuencia(qdk);
    const std::vector<uint8_t> payload =
        BoardWritePayload(node, block, offset, {source, size}, sequence);
    if (!EnviarQdk(qdk, payload.data(), payload.size())) {
        CountLinkFailure(qdk);
        return false;
    }
    qdk.FallosQdk = 0;
    ReplyBuffer reply{payload[0]};
    if (!RecibirQdk(qdk, reply.data(), kWriteReplyLength)) {
        CountLinkFailure(qdk);
        return false;
    }
    qdk.FallosQdk = 0;
    return ConfirmedBy(reply.data(), sequence);
}

}  // namespace baslink
