#include "FaultList.h"

#include <algorithm>
#include <stdexcept>

namespace baslink::sim {

namespace {

template <typename T>
bool FieldMatches(const std::optional<T>& wanted, const std::optional<T>& actual) {
    return !wanted || (actual && *wanted == *actual);
}

// Sequence and status live only in fetch replies; these faults wait for one
// instead of being used up by the send before it.
bool AppliesTo(FaultAction action, FrameKind kind) {
    const bool replyContent =
        action == FaultAction::WrongSequence || action == FaultAction::StatusZero;
    return !replyContent || kind == FrameKind::BoardFetch;
}

bool Matches(const Fault& fault, const FrameFacts& facts) {
    const FrameMatch& match = fault.match;
    return AppliesTo(fault.action, facts.kind) && (!match.kind || *match.kind == facts.kind) &&
           FieldMatches(match.command, facts.command) &&
           FieldMatches(match.address, facts.address) && FieldMatches(match.node, facts.node) &&
           FieldMatches(match.block, facts.block);
}

void Apply(const Fault& fault, AnswerShaping& shaping) {
    switch (fault.action) {
        case FaultAction::NoAnswer:
            shaping.drop = true;
            break;
        case FaultAction::BadCheck:
            shaping.badCheck = true;
            break;
        case FaultAction::WrongSequence:
            shaping.wrongSequence = true;
            break;
        case FaultAction::StatusZero:
            shaping.statusZero = true;
            break;
        case FaultAction::SplitAnswer:
            shaping.chunkSize = fault.chunkSize;
            shaping.chunkGap = fault.delay;
            break;
        case FaultAction::DelayAnswer:
            shaping.delay += fault.delay;
            break;
    }
}

}  // namespace

void FaultList::add(const Fault& fault) {
    if (fault.frames == 0 || fault.frames < kEveryFrame) {
        throw std::invalid_argument("a fault must affect at least one frame");
    }
    if (fault.action == FaultAction::SplitAnswer && fault.chunkSize == 0) {
        throw std::invalid_argument("a split answer needs a chunk size of at least 1");
    }
    faults_.push_back(fault);
}

AnswerShaping FaultList::take(const FrameFacts& facts) {
    AnswerShaping shaping;
    for (auto& fault : faults_) {
        if (Matches(fault, facts)) {
            Apply(fault, shaping);
            if (fault.frames != kEveryFrame) {
                --fault.frames;
            }
        }
    }
    std::erase_if(faults_, [](const Fault& fault) { return fault.frames == 0; });
    return shaping;
}

}  // namespace baslink::sim
