#include "link/frame_exchange.h"

#include <gtest/gtest.h>

#include <numeric>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kStartTick = 0xFFFFFF00;  // every case crosses the 32-bit wrap
const uint8_t kFrame[3] = {0x02, 0xEB, 0x05};

ScriptedRead Got(Bytes bytes) {
    return ScriptedRead{0, std::move(bytes), -1};
}
ScriptedRead FailedRead(int64_t count) {
    return ScriptedRead{1, {}, count};
}
Bytes Sequence(uint8_t from, size_t count) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), from);
    return bytes;
}

// A bound and connected link over a fake driver, on a fake clock.
struct LinkRig {
    LinkRig() {
        EXPECT_EQ(link.Bind(1), 1);
        EXPECT_EQ(link.Connect(), 1);
    }
    uint32_t Elapsed() { return clock.TickMs() - kStartTick; }

    FakeDriver driver;
    CDeviceLink link{driver};
    FakeClock clock{kStartTick};
};

// A frame's reply: the first byte that is not idle decides; every read asks for 8 bytes,
// 10 ms apart, for 10 s at most.
TEST(SendFrame, TakesTheFirstDecidingReplyByte) {
    const struct {
        std::vector<ScriptedRead> reads;
        int expected;
        size_t readsMade;
    } cases[] = {
        {{Got({0x06})}, 1, 1},
        {{Got({0x00}), Got({0x00}), Got({0x06})}, 1, 3},
        {{Got({0x15}), Got({0x06})}, 0, 1},
        {{FailedRead(0), Got({0x06})}, 1, 2},  // a failed read without a count polls on
        {{FailedRead(1), Got({0x06})}, 0, 1},  // with a count it ends
        {{Got({}), Got({}), Got({0x06})}, 1, 3},
        {{ScriptedRead{0, {0x06}, 9}}, 0, 1},  // a count above the asked is a failed read
        {{}, 0, 1000},                         // silence until the deadline
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readsMade);
        LinkRig r;
        r.driver.reads.assign(c.reads.begin(), c.reads.end());
        EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), c.expected);
        EXPECT_EQ(r.driver.readCountsAsked, std::vector<uint32_t>(c.readsMade, 8));
        EXPECT_EQ(r.Elapsed(), 10u * c.readsMade);
        EXPECT_EQ(r.driver.writes, (std::vector<Bytes>{{0x02, 0xEB, 0x05}}));
    }
}

TEST(SendFrame, DeadlineCountsTheWriteAndStillReadsOnce) {
    LinkRig r;
    r.driver.onWrite = [&r](const Bytes&) { r.clock.Advance(12000); };
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 0);
    r.driver.reads = {Got({0x06})};
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 1);
    EXPECT_EQ(r.driver.readCountsAsked.size(), 2u);
}

TEST(SendFrame, FailedWriteMakesNoReadAndNoDeviceMakesNoWrite) {
    LinkRig r;
    r.driver.writeResult = 1;
    uint8_t block[64];
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 0);
    EXPECT_EQ(ReadBlock8(r.link, r.clock, block), 0);
    EXPECT_TRUE(r.driver.readCountsAsked.empty());
    r.driver.writes.clear();
    r.link.deviceHandle = 0;
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 0);
    EXPECT_EQ(ReadBlock64(r.link, r.clock, block), 0);
    EXPECT_TRUE(r.driver.writes.empty());
}

// A block is gathered in arrival order from reads that each ask for a whole block; failed
// reads and oversized counts are skipped; a block still short at 10 s fails untouched.
TEST(ReadBlock, GathersTheBlockInArrivalOrder) {
    const struct {
        uint32_t length;
        std::vector<ScriptedRead> reads;
        int expected;
        Bytes block;
    } cases[] = {
        {8, {Got(Sequence(0, 3)), Got(Sequence(3, 5))}, 1, Sequence(0, 8)},
        {64, {Got(Sequence(0, 60)), Got(Sequence(60, 4))}, 1, Sequence(0, 64)},
        {8,
         {Got(Sequence(0, 2)), FailedRead(3), FailedRead(0), Got(Sequence(2, 6))},
         1,
         Sequence(0, 8)},
        {8, {ScriptedRead{0, Sequence(0, 8), 200}, Got(Sequence(10, 8))}, 1, Sequence(10, 8)},
        {64, {Got(Sequence(0, 63))}, 0, Bytes(64, 0xEE)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reads.size());
        LinkRig r;
        r.driver.reads.assign(c.reads.begin(), c.reads.end());
        Bytes out(c.length, 0xEE);
        EXPECT_EQ(c.length == 8 ? ReadBlock8(r.link, r.clock, out.data())
                                : ReadBlock64(r.link, r.clock, out.data()),
                  c.expected);
        EXPECT_EQ(out, c.block);
        EXPECT_EQ(r.driver.writes,
                  (std::vector<Bytes>{{c.length == 8 ? uint8_t{0x20} : uint8_t{0x21}}}));
        EXPECT_EQ(r.driver.readCountsAsked,
                  std::vector<uint32_t>(r.driver.readCountsAsked.size(), c.length));
        EXPECT_GE(r.Elapsed(), c.expected == 0 ? 10000u : 0u);
    }
}

// 64-byte reads only for the newer series on NT 5.0 and later.
TEST(WideReads, OnlyForNewerSeriesOnNt5AndLater) {
    const struct {
        int32_t modelIndex;
        OsVersion version;
        int expected;
    } cases[] = {{2, {true, 2, 10}, 0}, {1, {true, 2, 5}, 1},  {0, {true, 2, 6}, 1},
                 {1, {true, 2, 4}, 0},  {0, {true, 1, 10}, 0}, {1, {false, 2, 10}, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(UseWideReads(c.modelIndex, c.version), c.expected) << c.version.majorVersion;
    }
}

// Each exchange is reported once it has ended, with its time, polls and what came back.
TEST(ExchangeObserver, SeesEveryExchange) {
    struct Seen {
        Bytes sent;
        uint32_t ms, polls;
        bool written, succeeded;
        Bytes received;
        bool operator==(const Seen&) const = default;
    };
    struct Recorder final : ExchangeObserver {
        void Exchanged(const ExchangeRecord& r) override {
            seen.push_back({{r.sent.begin(), r.sent.end()},
                            r.endMs - r.startMs,
                            r.polls,
                            r.written,
                            r.succeeded,
                            {r.received.begin(), r.received.end()}});
        }
        std::vector<Seen> seen;
    } recorder;
    LinkRig r;
    r.link.observer = &recorder;
    uint8_t block[8];
    r.driver.reads = {Got({}), Got({0x06, 0x41}), Got({1, 2, 3}), Got({4, 5, 6, 7, 8, 9}),
                      Got({0x15})};
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 1);
    EXPECT_EQ(ReadBlock8(r.link, r.clock, block), 1);
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 0);
    r.driver.writeResult = 1;
    EXPECT_EQ(ReadBlock64(r.link, r.clock, block), 0);
    EXPECT_EQ(recorder.seen, (std::vector<Seen>{{{0x02, 0xEB, 0x05}, 20, 2, true, true, {0x06}},
                                                {{0x20}, 20, 2, true, true, Sequence(1, 8)},
                                                {{0x02, 0xEB, 0x05}, 10, 1, true, false, {0x15}},
                                                {{0x21}, 0, 0, false, false, {}}}));
}

}  // namespace
}  // namespace velloran::testing
