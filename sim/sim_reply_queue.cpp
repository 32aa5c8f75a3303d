#include "sim/sim_reply_queue.h"

#include <algorithm>

#include "sim/sim_constants.h"

namespace velloran::sim {

void ReplyQueue::PushAnswer(uint8_t byte) {
    pending_.push_back({shape_.lateReads, shape_.padReads, {byte}});
}

void ReplyQueue::PushData(std::vector<uint8_t> bytes) {
    pending_.push_back({shape_.lateReads, 0, std::move(bytes)});
}

uint32_t ReplyQueue::Deliver(uint8_t* out, uint32_t wanted) {
    if (pending_.empty() || wanted == 0) {
        return 0;
    }
    Pending& reply = pending_.front();
    if (reply.waitReads > 0) {
        --reply.waitReads;
        return 0;
    }
    if (reply.padReads > 0) {
        --reply.padReads;
        out[0] = kIdleByte;
        return 1;
    }
    uint32_t delivered = DeliverBytes(reply, out, wanted);
    if (reply.sent == reply.bytes.size()) {
        pending_.pop_front();
    }
    return delivered;
}

uint32_t ReplyQueue::DeliverBytes(Pending& reply, uint8_t* out, uint32_t wanted) {
    size_t limit = shape_.splitBytes == 0 ? wanted : std::min(wanted, shape_.splitBytes);
    size_t count = std::min(limit, reply.bytes.size() - reply.sent);
    std::copy_n(reply.bytes.begin() + static_cast<std::ptrdiff_t>(reply.sent), count, out);
    reply.sent += count;
    return static_cast<uint32_t>(count);
}

}  // namespace velloran::sim
