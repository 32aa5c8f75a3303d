#include "tests/support/fake_printer.h"

#include "catalogue/little_endian.h"

namespace velloran::testing {
namespace {

constexpr uint8_t kAck = 0x06;
constexpr uint8_t kRefuse = 0x15;

bool IsReadRequest(const std::vector<uint8_t>& frame) {
    return frame.size() == 1 && (frame[0] == 0x20 || frame[0] == 0x21);
}

}  // namespace

FakePrinter::FakePrinter(FakeDriver& driver) : driver_(driver) {
    driver_.onWrite = [this](const std::vector<uint8_t>& frame) { OnFrame(frame); };
}

uint8_t FakePrinter::SeedByte(uint32_t address) {
    return static_cast<uint8_t>((address * 2654435761u) >> 24);
}

void FakePrinter::OnFrame(const std::vector<uint8_t>& frame) {
    ++frames_;
    if (beforeReply) {
        beforeReply(frames_);
    }
    if (silentFrom != 0 && frames_ >= silentFrom) {
        return;
    }
    if (refuse && refuse(frames_, frame)) {
        if (!IsReadRequest(frame)) {
            driver_.reads.push_back({0, {kRefuse}, -1});
        }
        return;
    }
    Reply(frame);
}

void FakePrinter::Reply(const std::vector<uint8_t>& frame) {
    if (IsReadRequest(frame)) {
        const uint32_t length = frame[0] == 0x20 ? 8 : 64;
        std::vector<uint8_t> block;
        for (uint32_t i = 0; i < length; ++i) {
            const uint32_t address = pointer_++;
            const auto it = written_.find(address);
            block.push_back(it != written_.end() ? it->second : SeedByte(address));
        }
        driver_.reads.push_back({0, block, -1});
        return;
    }
    if (frame.size() == 8 && frame[1] == 0xEC) {
        pointer_ = GetLe32(&frame[4]);
    } else if (frame.size() > 4 && frame[1] == 0xED) {
        for (size_t i = 4; i < frame.size(); ++i) {
            written_[pointer_++] = frame[i];
        }
    }
    driver_.reads.push_back({0, {kAck}, -1});
}

}  // namespace velloran::testing
