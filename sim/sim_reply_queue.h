#pragma once

// The bytes the printer has yet to hand to the host, one reply per exchange, in order.
// Each reply may be held back for a number of empty reads, preceded by idle bytes, and
// handed out in slices; the host never gets more than it asks for.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace velloran::sim {

struct DeliveryShape {
    uint32_t lateReads = 0;   // empty reads before each reply becomes readable
    uint32_t padReads = 0;    // one idle byte per read before an ack or refusal
    uint32_t splitBytes = 0;  // most bytes per read; 0 for no limit
};

class ReplyQueue {
  public:
    explicit ReplyQueue(DeliveryShape shape) : shape_(shape) {}

    // A one-byte answer to a frame (ack or refusal).
    void PushAnswer(uint8_t byte);
    // A block of memory answering a read request.
    void PushData(std::vector<uint8_t> bytes);
    void Clear() { pending_.clear(); }

    // Copies up to `wanted` bytes of the oldest reply into `out`; returns how many.
    uint32_t Deliver(uint8_t* out, uint32_t wanted);

  private:
    struct Pending {
        uint32_t waitReads;
        uint32_t padReads;
        std::vector<uint8_t> bytes;
        std::size_t sent = 0;
    };

    uint32_t DeliverBytes(Pending& reply, uint8_t* out, uint32_t wanted);

    DeliveryShape shape_;
    std::deque<Pending> pending_;
};

}  // namespace velloran::sim
