#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "tests/support/fake_driver.h"

namespace velloran::testing {

// A printer behind a FakeDriver: acknowledges frames, serves read requests from a
// patterned memory, keeps the bytes that DataFrames write, and refuses or ignores the
// frames a test picks. Frames are counted from 1 in the order written.
class FakePrinter {
  public:
    explicit FakePrinter(FakeDriver& driver);

    // The byte the printer holds at `address` before anything is written.
    static uint8_t SeedByte(uint32_t address);

    // Frames for which `refuse` holds get the reply 0x15 (read requests get nothing).
    std::function<bool(uint32_t frameNumber, const std::vector<uint8_t>& frame)> refuse;
    // From this frame number on the printer answers nothing; 0 never.
    uint32_t silentFrom = 0;
    // Called for every frame before it is answered.
    std::function<void(uint32_t frameNumber)> beforeReply;

    const std::map<uint32_t, uint8_t>& Written() const { return written_; }

  private:
    void OnFrame(const std::vector<uint8_t>& frame);
    void Reply(const std::vector<uint8_t>& frame);

    FakeDriver& driver_;
    uint32_t frames_ = 0;
    uint32_t pointer_ = 0;
    std::map<uint32_t, uint8_t> written_;
};

}  // namespace velloran::testing
