// The free-form exchanges. PedirCommLibre carries a bit stream to a device behind the
// communication board (payload command 3) and keeps the board's answer in one reply
// store for the whole library, which DevolverCommLibre hands out. PedirCommLibreRs
// writes raw bytes in direct mode and collects a fixed count back, unframed and
// unchecked, within the caller's time.
//
// The two exchanges hold the driver's lock for their whole exchange (ExchangeLock); the
// worker's point-module polls run PedirCommLibre inside their own hold of it. The reply
// store has a small lock of its own, so DevolverCommLibre never waits for a bus exchange
// and never sees half of an answer.

#include "FreeForm.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <type_traits>
#include <utility>

#include "BoardLink.h"
#include "Driver.h"
#include "LinkMode.h"
#include "PortObjects.h"
#include "SeccionCritica.h"
#include "baslink.h"

namespace baslink {
namespace {

constexpr uint8_t kBitExchangeCommand = 3;
constexpr std::size_t kRequestHead = 6;  // 03 seq bitsOut bitsIn param nOut
constexpr std::size_t kAnswerHead = 4;   // payload byte 0, sequence echo, status, bit count
constexpr uint8_t kAnswerAccepted = 1;
// An answer said to be 0 bytes long is fetched as 5.
constexpr std::size_t kBytesOfAnEmptyAnswer = 5;
constexpr std::size_t kReplyStoreSize = 256;

// The largest streams that travel. The request and its head go in one send payload; the
// answer and its head come back in one fetch reply, which the port judges by a one-byte
// length (5 frame bytes around the payload). Larger counts would reach the board cut to
// their low byte, or the fetch could never be judged: they are refused before anything
// is sent.
constexpr std::size_t kMaxRequestBytes = kMaxPayload - kRequestHead;
constexpr std::size_t kMaxAnswerBytes = kMaxFrameLength - 5 - kAnswerHead;

// The last command-3 answer that passed its check: its data and the bit count the board
// gave for it. Bytes past the last answer keep what earlier answers left there.
struct ReplyStore {
    std::mutex mutex;
    std::array<uint8_t, kReplyStoreSize> RespuestaLibre{};
    uint16_t BitsRespuestaLibre = 0;
};
static_assert(std::is_trivially_destructible_v<ReplyStore>,
              "the store must stay usable until the last thread of the library is gone");
constinit ReplyStore replyStore;

std::size_t BytesOf(uint16_t bits) {
    return (std::size_t{bits} + 7) >> 3;
}

std::size_t AnswerBytes(uint16_t bitsToReceive) {
    const std::size_t bytes = BytesOf(bitsToReceive);
    return bytes == 0 ? kBytesOfAnEmptyAnswer : bytes;
}

void ForgetLastAnswer() {
    std::lock_guard lock(replyStore.mutex);
    replyStore.BitsRespuestaLibre = 0;
}

// Keeps an accepted answer and hands its data to the caller too.
void KeepAnswer(std::span<const uint8_t> data, uint8_t bitCount, uint8_t* buffer) {
    std::lock_guard lock(replyStore.mutex);
    std::copy(data.begin(), data.end(), replyStore.RespuestaLibre.begin());
    std::copy(data.begin(), data.end(), buffer);
    replyStore.BitsRespuestaLibre = bitCount;
}

// Sends the request and fetches the answer; true once the board has answered. An
// answer with the right sequence echo and status is kept. The caller holds SeccionCritica.
bool BitExchange(TQDK& qdk, uint16_t bitsToSend, uint16_t bitsToReceive, uint8_t parameter,
                 uint8_t* buffer) {
    const std::size_t nOut = BytesOf(bitsToSend);
    const std::size_t nIn = AnswerBytes(bitsToReceive);
    std::array<uint8_t, kMaxPayload> payload{kBitExchangeCommand,
                                             SiguienteSecuencia(qdk),
                                             static_cast<uint8_t>(bitsToSend & 0xFF),
                                             static_cast<uint8_t>(bitsToReceive & 0xFF),
                                             parameter,
                                             static_cast<uint8_t>(nOut)};
    // The caller's request bytes are taken, and cleared, whatever the outcome.
    for (std::size_t i = 0; i < nOut; ++i) {
        payload[kRequestHead + i] = std::exchange(buffer[i], uint8_t{0});
    }
    if (!EnviarQdk(qdk, payload.data(), kRequestHead + nOut)) {
        return false;
    }
    // Fetched reply positions 1 .. nIn + 4: r1 the echo, r2 the status, r3 the bit count.
    std::array<uint8_t, kAnswerHead + kMaxAnswerBytes + 1> answer{};
    if (!RecibirQdk(qdk, answer.data(), static_cast<uint16_t>(nIn + kAnswerHead))) {
        return false;
    }
    if (answer[1] == static_cast<uint8_t>(qdk.Secuencia) && answer[2] == kAnswerAccepted) {
        KeepAnswer(std::span(answer).subspan(kAnswerHead, nIn), answer[3], buffer);
    }
    return true;
}

}  // namespace
}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API uint16_t BASLINK_CALL PedirCommLibre(uint8_t port, uint32_t /*unused*/,
                                                 uint16_t bitsToSend, uint16_t bitsToReceive,
                                                 uint8_t parameter, uint8_t* buffer) {
    if (Parar == 1) {
        return 0;
    }
    const ExchangeLock lock;
    if (!lock.Held()) {
        return 0;
    }
    // Even a request refused here leaves no answer behind for DevolverCommLibre.
    ForgetLastAnswer();
    if (BytesOf(bitsToSend) > kMaxRequestBytes || AnswerBytes(bitsToReceive) > kMaxAnswerBytes ||
        buffer == nullptr) {
        return 0;
    }
    TQDK* qdk = Puertos().Find(port);
    if (qdk == nullptr) {
        return 0;
    }
    // A port whose device cannot be opened fails the exchange's send at once, so the
    // caller's request bytes come back cleared as after any other failed send.
    OpenInMode(*qdk, 0);
    return BitExchange(*qdk, bitsToSend, bitsToReceive, parameter, buffer) ? 1 : 0;
}

BASLINK_API uint16_t BASLINK_CALL DevolverCommLibre(uint16_t* status, const uint16_t* bitCount,
                                                    uint8_t* buffer) {
    const uint16_t bits = bitCount != nullptr ? *bitCount : 0;
    // However many bits the caller names, no more than the store is copied.
    const std::size_t n = std::min(BytesOf(bits), kReplyStoreSize);
    std::lock_guard lock(replyStore.mutex);
    if (buffer != nullptr) {
        std::copy_n(replyStore.RespuestaLibre.begin(), n, buffer);
    }
    if (status != nullptr) {
        *status = bits == replyStore.BitsRespuestaLibre ? kBitCountMatches : 0;
    }
    return 1;
}

BASLINK_API uint16_t BASLINK_CALL PedirCommLibreRs(uint8_t port, uint8_t sendCount,
                                                   uint8_t receiveCount, uint32_t timeoutMs,
                                                   uint8_t* buffer) {
    if (Parar == 1) {
        return 0;
    }
    if (buffer == nullptr && (sendCount > 0 || receiveCount > 0)) {
        return 0;
    }
    const ExchangeLock lock;
    TQDK* qdk = lock.Held() ? Puertos().Find(port) : nullptr;
    if (qdk == nullptr) {
        return 0;
    }
    std::array<uint8_t, kMaxFrameLength> sent{};
    for (std::size_t i = 0; i < sendCount; ++i) {
        sent[i] = std::exchange(buffer[i], uint8_t{0});
    }
    if (!OpenInMode(*qdk, 1)) {
        return 0;
    }
    const ExchangeReply reply = qdk->Exchange({.state = kStateFrameSent,
                                               .expectedLength = receiveCount,
                                               .frame = std::span(sent.data(), sendCount),
                                               .end = ReplyEnd::ByteCount,
                                               .timeoutMs = timeoutMs});
    // On a timeout, what has come so far, up to the count asked.
    const std::size_t n = std::min<std::size_t>(receiveCount, reply.bytes.size());
    std::copy_n(reply.bytes.begin(), n, buffer);
    return reply.ok ? receiveCount : 0;
}

}  // extern "C"
