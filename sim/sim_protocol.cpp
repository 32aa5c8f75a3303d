#include "sim/sim_protocol.h"

#include "sim/sim_constants.h"

namespace velloran::sim {
namespace {

using enum ProtocolState;

struct Transition {
    FrameKind kind;
    ProtocolState from;
    ProtocolState to;
};

// The control-register steps of the write sequence. Address, setup and data frames
// carry values to check and are handled on their own.
constexpr Transition kTransitions[] = {
    {FrameKind::kAddress, kOpened, kControlSelected},
    {FrameKind::kAddress, kReading, kControlSelected},
    {FrameKind::kControl00, kControlSelected, kPrepared},
    {FrameKind::kAddress, kSetUp, kEnableSelected},
    {FrameKind::kControl05, kEnableSelected, kWriteEnabled},
    {FrameKind::kAddress, kWriting, kCommitSelected},
    {FrameKind::kAddress, kWriteTail, kCommitSelected},
    {FrameKind::kControl07, kCommitSelected, kOpened},
};

Outcome Refused() {
    return {Reply::kRefuse, {}, false};
}
Outcome Silence() {
    return {Reply::kSilence, {}, false};
}

}  // namespace

void ProtocolMachine::Open(MemoryImage& memory) {
    memory_ = &memory;
    state_ = kOpened;
}

Outcome ProtocolMachine::Apply(const Frame& frame) {
    switch (frame.kind) {
        case FrameKind::kMalformed:
        case FrameKind::kOpen:
            return Refused();
        case FrameKind::kRead8:
            return Read(kRead8Length);
        case FrameKind::kRead64:
            return Read(kRead64Length);
        case FrameKind::kTarget:
            return Target(frame.address);
        case FrameKind::kSetup:
            return Setup(frame);
        case FrameKind::kData:
            return Data(frame.payload);
        default:
            return Step(frame.kind);
    }
}

Outcome ProtocolMachine::MoveTo(ProtocolState next) {
    state_ = next;
    return {Reply::kAck, {}, false};
}

Outcome ProtocolMachine::Step(FrameKind kind) {
    for (const Transition& transition : kTransitions) {
        if (transition.kind == kind && transition.from == state_) {
            Outcome outcome = MoveTo(transition.to);
            outcome.committed = kind == FrameKind::kControl07;
            return outcome;
        }
    }
    return Refused();
}

Outcome ProtocolMachine::Target(uint32_t address) {
    bool idle = state_ == kOpened || state_ == kReading;
    bool expected = state_ == kWriteEnabled && address == setupTarget_;
    if (!(idle || expected) || memory_->RegionOf(address) == nullptr) {
        return Refused();
    }
    pointer_ = address;
    return MoveTo(idle ? kReading : kTargetSelected);
}

Outcome ProtocolMachine::Setup(const Frame& frame) {
    if (state_ != kPrepared) {
        return Refused();
    }
    const Region* region = memory_->RegionOf(frame.address);
    // The setup value is the length about to be written (a backup may hold less than a
    // whole region) or the wide value the multi-region sends use; never zero. The data
    // frames themselves are held to the region.
    if (region == nullptr || frame.setupValue == 0) {
        return Refused();
    }
    setupTarget_ = frame.address;
    return MoveTo(kSetUp);
}

Outcome ProtocolMachine::Data(std::span<const uint8_t> payload) {
    auto length = static_cast<uint32_t>(payload.size());
    if ((state_ != kTargetSelected && state_ != kWriting) || !memory_->Spans(pointer_, length)) {
        return Refused();
    }
    memory_->Write(pointer_, payload);
    pointer_ += length;
    return MoveTo(length == kDataChunk ? kWriting : kWriteTail);
}

Outcome ProtocolMachine::Read(uint32_t length) {
    if (state_ != kReading || !memory_->Spans(pointer_, length)) {
        return Silence();
    }
    Outcome outcome{Reply::kData, memory_->Read(pointer_, length), false};
    pointer_ += length;
    return outcome;
}

}  // namespace velloran::sim
