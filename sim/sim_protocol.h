#pragma once

// The printer's side of the frame protocol: which frame it accepts in which state, and
// what each accepted frame does to the memory and the read/write pointer.

#include <cstdint>
#include <vector>

#include "sim/sim_frame.h"
#include "sim/sim_memory.h"

namespace velloran::sim {

enum class ProtocolState : uint8_t {
    kClosed,           // no open frame accepted yet
    kOpened,           // idle: after an open frame or a commit
    kReading,          // pointer at a memory address; read requests are served
    kControlSelected,  // control register addressed; awaiting control 00
    kPrepared,         // awaiting the setup frame
    kSetUp,            // awaiting the control register address
    kEnableSelected,   // awaiting control 05
    kWriteEnabled,     // awaiting the address of the set-up target
    kTargetSelected,   // awaiting the first data frame
    kWriting,          // full data frames so far
    kWriteTail,        // a short data frame ended the data
    kCommitSelected,   // awaiting control 07
};

enum class Reply : uint8_t { kAck, kRefuse, kData, kSilence };

struct Outcome {
    Reply reply = Reply::kRefuse;
    std::vector<uint8_t> data;  // the block read, for Reply::kData
    bool committed = false;     // a control 07 ended a write
};

class ProtocolMachine {
  public:
    // An accepted open frame: selects `memory` and starts over from kOpened.
    void Open(MemoryImage& memory);

    // Any other frame. A refused frame or silenced read leaves the state as it was.
    Outcome Apply(const Frame& frame);

    ProtocolState state() const { return state_; }

  private:
    Outcome Step(FrameKind kind);
    Outcome Target(uint32_t address);
    Outcome Setup(const Frame& frame);
    Outcome Data(std::span<const uint8_t> payload);
    Outcome Read(uint32_t length);
    Outcome MoveTo(ProtocolState next);

    MemoryImage* memory_ = nullptr;
    ProtocolState state_ = ProtocolState::kClosed;
    uint32_t pointer_ = 0;
    uint32_t setupTarget_ = 0;
};

}  // namespace velloran::sim
