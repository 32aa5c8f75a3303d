// The device link over a fake driver library: binding, connecting, frames and blocks.
#include <gtest/gtest.h>

#include <numeric>

#include "jobs/exchange_trace.h"
#include "link/device_link.h"
#include "link/frame_exchange.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;
const uint8_t kFrame[3] = {0x02, 0xEB, 0x05};

bool AllNull(const CDeviceLink& link) {
    bool none = link.libraryModule == nullptr;
#define VELLORAN_DRIVER_ENTRY(suffix) none = none && link.suffix == nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    return none;
}

TEST(DeviceLink, BindLoadsTheModelsLibraryAndResolvesTenEntriesInOrder) {
    FakeDriver driver;
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(2), 1);
    EXPECT_EQ(driver.loadedNames, std::vector<std::string>{"Hdv201.dll"});
    EXPECT_EQ(driver.resolvedNames,
              (std::vector<std::string>{"Hdv201RegistHandle", "Hdv201UnregistHandle",
                                        "Hdv201CheckMyDevice", "Hdv201CheckActiveDevice",
                                        "Hdv201StartDevice", "Hdv201EndDevice", "Hdv201UsbOpen",
                                        "Hdv201UsbClose", "Hdv201UsbWrite", "Hdv201UsbRead"}));
    EXPECT_EQ(link.Bind(0), 1);
    EXPECT_EQ(driver.loadedNames.back(), "Hdv305.dll");
    EXPECT_EQ(link.Bind(3), 0) << "the end row";
    EXPECT_EQ(driver.frees, 2) << "a rebind frees the old library, even when it fails";
    EXPECT_TRUE(AllNull(link));
}

// A link never bound, or whose bind failed, holds nothing and reaches no driver entry
// point through any of its calls.
TEST(DeviceLink, UnboundLinkHoldsNothingAndCallsNothing) {
    const struct {
        bool bind;
        uint32_t index;
        bool loadFails;
        const char* missing;  // an entry the library lacks, or null
        int loads;
    } cases[] = {
        {false, 0, false, nullptr, 0},  {true, 0xFFFFFFFFu, false, nullptr, 0},
        {true, 0, true, nullptr, 0},    {true, 1, false, "RegistHandle", 1},
        {true, 1, false, "UsbRead", 1}, {true, 2, false, "EndDevice", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        FakeDriver driver;
        driver.loadFails = c.loadFails;
        driver.missingSuffixes = {c.missing != nullptr ? c.missing : ""};
        driver.moreActive = {1, 2};
        FakeClock clock;
        CDeviceLink link(driver);
        if (c.bind) {
            EXPECT_EQ(link.Bind(c.index), 0);
        }
        EXPECT_TRUE(AllNull(link));
        EXPECT_EQ(std::make_pair(driver.loads, driver.frees), std::make_pair(c.loads, c.loads));
        EXPECT_EQ(link.Connect() + link.ConnectAt(0) + link.Release(), 0);
        EXPECT_TRUE(link.ActiveIndices().empty());
        uint8_t block[64];
        EXPECT_EQ(SendFrame(link, clock, kFrame, 3) + ReadBlock8(link, clock, block) +
                      ReadBlock64(link, clock, block),
                  0);
        link.Unbind();
        EXPECT_TRUE(driver.checkedIndices.empty() && driver.startIndices.empty() &&
                    driver.endedHandles.empty() && driver.writes.empty() &&
                    driver.readCountsAsked.empty());
        EXPECT_EQ(driver.frees, c.loads);
    }
}

// Connect scans indices 0 to 127 in order and starts the first that answers, at that
// index; a start that wrote a handle is ended even when it failed, and once however often
// Release is called.
TEST(DeviceLink, ConnectScansIndicesInOrderAndOpensTheFirstThatAnswers) {
    const struct {
        int32_t activeIndex;
        uint32_t startResult;
        int expected;
        size_t checks, starts;
    } cases[] = {{0, 0, 1, 1, 1},
                 {127, 0, 1, 128, 1},
                 {-1, 0, 0, 128, 0},
                 {128, 0, 0, 128, 0},
                 {2, 1, 0, 3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.activeIndex);
        FakeDriver driver;
        driver.activeIndex = c.activeIndex;
        driver.startResult = c.startResult;
        CDeviceLink link(driver);
        ASSERT_EQ(link.Bind(0), 1);
        EXPECT_EQ(link.Connect(), c.expected);
        ASSERT_EQ(driver.checkedIndices.size(), c.checks);
        EXPECT_EQ(driver.checkedIndices.back(), static_cast<int32_t>(c.checks - 1));
        EXPECT_EQ(driver.startIndices,
                  std::vector<int32_t>(c.starts, static_cast<int32_t>(c.checks - 1)));
        EXPECT_EQ(link.Release() + link.Release() + link.Unbind(), 3);
        EXPECT_EQ(std::make_pair(driver.endedHandles.size(), driver.frees),
                  std::make_pair(c.starts, 1));
    }
}

constexpr uint32_t kStartTick = 0xFFFFFF00;  // every case crosses the 32-bit wrap

ScriptedRead Got(Bytes bytes) {
    return ScriptedRead{0, std::move(bytes), -1};
}
ScriptedRead Failed(int64_t count) {
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
        uint32_t writeResult = 0;
    } cases[] = {
        {{Got({0x06})}, 1, 1},
        {{Got({0x00}), Got({0x00}), Got({0x06})}, 1, 3},
        {{Got({0x15}), Got({0x06})}, 0, 1},
        {{Failed(0), Got({0x06})}, 1, 2},  // a failed read without a count polls on
        {{Failed(1), Got({0x06})}, 0, 1},  // with a count it ends
        {{Got({}), Got({}), Got({0x06})}, 1, 3},
        {{ScriptedRead{0, {0x06}, 9}}, 0, 1},  // a count above the asked is a failed read
        {{}, 0, 1000},                         // silence until the deadline
        {{Got({0x06})}, 0, 0, 1},              // a failed write makes no read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readsMade);
        LinkRig r;
        r.driver.reads.assign(c.reads.begin(), c.reads.end());
        r.driver.writeResult = c.writeResult;
        EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), c.expected);
        EXPECT_EQ(r.driver.readCountsAsked, std::vector<uint32_t>(c.readsMade, 8));
        EXPECT_EQ(r.Elapsed(), 10u * c.readsMade);
        EXPECT_EQ(r.driver.writes, (std::vector<Bytes>{{0x02, 0xEB, 0x05}}));
    }
}

// A block is gathered in arrival order from reads that each ask for a whole block; failed
// reads and oversized counts are skipped, bytes past the block dropped; a block still
// short at 10 s fails untouched.
TEST(ReadBlock, GathersTheBlockInArrivalOrder) {
    const struct {
        uint32_t length;
        std::vector<ScriptedRead> reads;
        int expected;
        Bytes block;
    } cases[] = {
        {8, {Got(Sequence(0, 3)), Got(Sequence(3, 5))}, 1, Sequence(0, 8)},
        {8, {Got(Sequence(0, 5)), Got(Sequence(5, 5))}, 1, Sequence(0, 8)},
        {64, {Got(Sequence(0, 60)), Got(Sequence(60, 4))}, 1, Sequence(0, 64)},
        {8, {Got(Sequence(0, 2)), Failed(3), Failed(0), Got(Sequence(2, 6))}, 1, Sequence(0, 8)},
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
    } cases[] = {{2, {true, 2, 10}, 0},
                 {1, {true, 2, 5}, 1},
                 {0, {true, 2, 6}, 1},
                 {1, {true, 2, 4}, 0},
                 {0, {true, 1, 10}, 0},
                 {1, {false, 2, 10}, 0},
                 {0, {.queried = true, .windows = false}, 1},
                 {2, {.queried = true, .windows = false}, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(UseWideReads(c.modelIndex, c.version), c.expected) << c.version.majorVersion;
    }
}

// Each exchange is reported once it has ended, with its time, polls and what came back;
// seen here as trace lines that show how long each exchange took.
TEST(ExchangeObserver, SeesEveryExchange) {
    struct Recorder final : ExchangeObserver {
        void Exchanged(const ExchangeRecord& r) override {
            lines.push_back(FormatExchange(r, r.endMs - r.startMs));
        }
        std::vector<std::string> lines;
    } recorder;
    LinkRig r;
    r.link.observer = &recorder;
    uint8_t block[8];
    r.driver.reads = {Got({}), Got({0x06, 0x41}), Got({1, 2, 3}), Got({4, 5, 6, 7, 8, 9}),
                      Got({0x15})};
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 1);
    EXPECT_EQ(ReadBlock8(r.link, r.clock, block), 1);
    EXPECT_EQ(SendFrame(r.link, r.clock, kFrame, 3), 0);
    r.driver.reads = {Got({1, 2, 3, 4, 5, 6, 7})};
    EXPECT_EQ(ReadBlock8(r.link, r.clock, block) + SendFrame(r.link, r.clock, kFrame, 3), 0);
    r.driver.writeResult = 1;
    EXPECT_EQ(ReadBlock64(r.link, r.clock, block), 0);
    EXPECT_EQ(recorder.lines,
              (std::vector<std::string>{
                  "     20 ms  control05 02 eb 05  polls 2  reply 06 ack",
                  "     20 ms  read8     20  polls 2  got 8 bytes: 01 02 03 04 05 06 07 08",
                  "     10 ms  control05 02 eb 05  polls 1  reply 15 refused",
                  "  10000 ms  read8     20  polls 1000  got 7 of 8 bytes: 01 02 03 04 05 06 07",
                  "  10000 ms  control05 02 eb 05  polls 1000  no reply (deadline)",
                  "      0 ms  read64    21  polls 0  write failed"}));
}

}  // namespace
}  // namespace velloran::testing
