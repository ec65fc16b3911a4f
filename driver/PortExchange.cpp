// The one exchange step of the port objects: every link (board frames, direct frames,
// raw free-form exchanges) sends and waits through it.

#include "Driver.h"
#include "PortObjects.h"

namespace baslink {
namespace {

ReplyVerdict Verdict(const TThreadComPort& com, const ExchangeRequest& request) {
    if (request.end == ReplyEnd::ByteCount) {
        if (com.BufferRX().size() % 256 == request.expectedLength) {
            return ReplyVerdict::Good;
        }
        // Its time is the caller's and may be long; a stopping library does not wait it out.
        return Parar == 1 ? ReplyVerdict::Bad : ReplyVerdict::Pending;
    }
    const uint8_t state = com.Estado;
    if (state == kStateBad && request.end == ReplyEnd::AnyCheck) {
        return ReplyVerdict::Bad;
    }
    return state == kStateGood ? ReplyVerdict::Good : ReplyVerdict::Pending;
}

}  // namespace

ExchangeReply TQDK::Exchange(const ExchangeRequest& request) {
    if (Parar == 1 || !ComPort || request.frame.size() > kMaxFrameLength ||
        ReleaseIfDeviceLost()) {
        return {};
    }
    TThreadComPort& com = *ComPort;
    // Only this thread sends on the port (it holds SeccionCritica), so the send below is
    // the next one the component counts. A check of an earlier send's bytes that is still
    // running finishes before this, and any later one finds its send is not awaited.
    replyNotice_.Update([&] {
        awaitedSend_ = com.SendCount() + (request.frame.empty() ? 0 : 1);
        com.minTamanioRX = request.expectedLength;
        com.Estado = request.state;
    });
    if (!request.frame.empty()) {
        com.Send(request.frame.data(), static_cast<uint8_t>(request.frame.size()));
    }
    const bool ok = EsperarRespuesta(
        replyNotice_, [&] { return Verdict(com, request); }, request.timeoutMs);
    return {ok, com.BufferRX()};
}

void TQDK::OnDelivery(ReceiveCheck check, TThreadComPort& sender, const std::string& data) {
    // Bytes collected after an earlier send, delivered just as the next one went out, would
    // otherwise be judged as the new exchange's reply.
    replyNotice_.Update([&] {
        if (sender.SendCount() == awaitedSend_) {
            check(*this, sender, data);
        }
    });
}

}  // namespace baslink
