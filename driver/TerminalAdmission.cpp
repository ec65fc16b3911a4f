#include "TerminalAdmission.h"

#include <utility>

#include "Clock.h"

namespace baslink {
namespace {

// How long a verdict on a terminal holds. A terminal can become a session's at any time, so
// the verdict is kept only as long as it saves a port that keeps failing on the terminal
// from reading every process's status at each try.
constexpr uint32_t kVerdictLifetimeMs = 1000;

// Whether `a` and `b` are the one file. A pseudo-terminal made anew under a number is another
// file of the same device number and inode, made later: a verdict on the old one does not
// hold for it.
bool SameTerminal(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_rdev == b.st_rdev &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

}  // namespace

bool TerminalAdmission::MayFollow(const std::optional<std::string>& link) {
    followedLinks_.reset();
    if (!link) {
        return true;
    }
    platform::LinkChain links = platform::ReadLinkChain(*link);
    if (hungUpLinks_) {
        // Renamed, given another owner or copied back, they are still the links of the
        // terminal that hung up; any of them written anew ends the refusal.
        if (links == *hungUpLinks_) {
            return false;
        }
        hungUpLinks_.reset();
    }
    followedLinks_ = std::move(links);
    return true;
}

bool TerminalAdmission::MayUse(const struct stat& opened) {
    if (platform::StandsForAnotherTerminal(opened.st_rdev) || IsSessionTerminal(opened)) {
        return false;
    }
    if (!platform::IsPseudoTerminal(opened.st_rdev)) {
        followedLinks_.reset();  // a device other than a pseudo-terminal keeps its number
    }
    return true;
}

void TerminalAdmission::Opened() {
    openLinks_ = std::exchange(followedLinks_, std::nullopt);
}

void TerminalAdmission::Lost() {
    hungUpLinks_ = std::exchange(openLinks_, std::nullopt);
}

bool TerminalAdmission::IsSessionTerminal(const struct stat& opened) {
    const uint32_t now = platform::TickCount();
    if (!verdict_ || !SameTerminal(verdict_->terminal, opened) ||
        now - verdict_->tick >= kVerdictLifetimeMs) {
        verdict_ = Verdict{opened, platform::IsSessionTerminal(opened.st_rdev), now};
    }
    return verdict_->session;
}

}  // namespace baslink
