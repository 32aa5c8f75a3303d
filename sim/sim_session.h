#pragma once

// One open device, from StartDevice to EndDevice: applies the host's exchanges to the
// protocol and memory, injects the configured faults and queues the replies.

#include <array>
#include <cstdint>
#include <span>

#include "sim/sim_exchange_log.h"
#include "sim/sim_protocol.h"
#include "sim/sim_reply_queue.h"
#include "sim/sim_settings.h"
#include "sim/sim_store.h"

namespace velloran::sim {

class Session {
  public:
    // `memorySlot` tells several simulated printers apart: their memory is seeded apart.
    Session(std::span<const ModelId> served, const Settings& settings, std::string stateFolder,
            uint32_t memorySlot = 0);

    // One UsbWrite: a frame or read request of 1 to 64 bytes.
    uint32_t Write(std::span<const uint8_t> bytes);
    // One UsbRead: on entry *count is the most bytes wanted, on return the bytes given.
    uint32_t Read(uint8_t* buffer, uint32_t* count);
    // Writes changed memory back to the state folder.
    void Close() { store_.Flush(); }

  private:
    bool IsSilent(uint32_t exchange) const;
    bool IsForcedRefusal(uint32_t exchange, FrameKind kind);
    bool Serves(const ModelInfo& model) const;
    Outcome Respond(const Frame& frame);
    Outcome OpenModel(const Frame& frame);
    void Enqueue(Outcome outcome);

    std::span<const ModelId> served_;
    Settings settings_;
    MemoryStore store_;
    ProtocolMachine protocol_;
    ReplyQueue replies_;
    ExchangeLog log_;
    uint32_t exchanges_ = 0;
    uint32_t reads_ = 0;
    std::array<uint32_t, kFrameKindCount> kindCounts_{};
};

}  // namespace velloran::sim
