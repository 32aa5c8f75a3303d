// Replays arbitrary reply streams to SendFrame, ReadBlock8 and ReadBlock64: split and
// padded replies, failed reads with and without a count, counts larger than asked.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "link/frame_exchange.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

using namespace velloran;
using velloran::fuzzing::FuzzInput;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ScriptReads(FuzzInput& input, testing::FakeDriver& driver) {
    while (!input.Empty()) {
        testing::ScriptedRead read;
        const uint8_t flags = input.Byte();
        read.result = (flags & 1) != 0 ? 1 : 0;
        read.bytes = input.Bytes(input.Byte() % 70);
        if ((flags & 2) != 0) {
            read.reportedCount = input.Byte();
        }
        driver.reads.push_back(read);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint8_t operation = input.Byte() % 3;
    testing::FakeDriver driver;
    testing::FakeClock clock(input.Le32());
    CDeviceLink link(driver);
    if (link.Bind(1) != 1 || link.Connect() != 1) {
        std::abort();
    }
    ScriptReads(input, driver);
    const uint32_t start = clock.TickMs();

    uint8_t out[64 + 16];
    std::memset(out, 0xA5, sizeof out);
    const uint8_t frame[3] = {0x02, 0xEB, 0x00};
    int result = 0;
    uint32_t length = 0;
    if (operation == 0) {
        result = SendFrame(link, clock, frame, sizeof frame);
    } else if (operation == 1) {
        result = ReadBlock8(link, clock, out);
        length = 8;
    } else {
        result = ReadBlock64(link, clock, out);
        length = 64;
    }
    // Bounded by the deadline plus one poll, whatever the driver does.
    Check(clock.TickMs() - start <= kExchangeDeadlineMs + kPollIntervalMs);
    for (uint32_t i = (result == 1 ? length : 0); i < sizeof out; ++i) {
        Check(out[i] == 0xA5);
    }
    return 0;
}
