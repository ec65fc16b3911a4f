#include "TerminalAdmission.h"

#include <utility>

#include "Clock.h"

namespace baslink {
namespace {

// How long a terminal found to be a session's is refused without looking again.
constexpr uint32_t kSessionLookIntervalMs = 1000;

}  // namespace

bool TerminalAdmission::MayOpen(const std::string& device, bool throughLink) {
    admittedLink_.reset();
    const auto number = platform::CharacterDeviceNumber(device);
    if (!number) {
        return true;  // no terminal: opening it fails on its own
    }
    std::optional<platform::LinkWriting> writing;
    if (throughLink && platform::IsPseudoTerminal(*number)) {
        writing = platform::ReadLinkWriting(device);
        if (hungUpLink_) {
            // Renamed, given another owner or copied back, it is still the link of the
            // terminal that hung up; one written anew ends the refusal.
            if (writing == hungUpLink_) {
                return false;
            }
            hungUpLink_.reset();
        }
        if (platform::WrittenBeforeItsTerminal(device)) {
            return false;
        }
    }
    if (SessionTerminal(*number)) {
        return false;
    }
    admittedLink_ = std::move(writing);
    return true;
}

void TerminalAdmission::Opened() {
    openLink_ = std::exchange(admittedLink_, std::nullopt);
}

void TerminalAdmission::Lost() {
    hungUpLink_ = std::exchange(openLink_, std::nullopt);
}

bool TerminalAdmission::SessionTerminal(dev_t device) {
    const uint32_t now = platform::TickCount();
    if (sessionTerminal_ && sessionTerminal_->device == device &&
        now - sessionTerminal_->tick < kSessionLookIntervalMs) {
        return true;
    }
    if (!platform::IsSessionTerminal(device)) {
        sessionTerminal_.reset();
        return false;
    }
    sessionTerminal_ = SessionSighting{device, now};
    return true;
}

}  // namespace baslink
