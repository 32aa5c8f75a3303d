#include "link/frame_exchange.h"

#include <gtest/gtest.h>

#include <numeric>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kStartTick = 0xFFFFFF00;  // every case crosses the 32-bit wrap

ScriptedRead Bytes(std::vector<uint8_t> bytes) {
    return ScriptedRead{0, std::move(bytes), -1};
}
ScriptedRead FailedRead(int64_t count) {
    return ScriptedRead{1, {}, count};
}
ScriptedRead Empty() {
    return ScriptedRead{0, {}, -1};
}

class ExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(link.Bind(1), 1);
        ASSERT_EQ(link.Connect(), 1);
    }
    uint32_t Elapsed() { return clock.TickMs() - kStartTick; }

    FakeDriver driver;
    CDeviceLink link{driver};
    FakeClock clock{kStartTick};
};

struct ReplyCase {
    const char* name;
    std::vector<ScriptedRead> reads;
    int expected;
    size_t readsMade;
};

class SendFrameReplies : public ExchangeTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(SendFrameReplies, TakesTheFirstReplyByteOnly) {
    const ReplyCase& c = GetParam();
    driver.reads.assign(c.reads.begin(), c.reads.end());
    const uint8_t frame[3] = {0x02, 0xEB, 0x00};
    EXPECT_EQ(SendFrame(link, clock, frame, 3), c.expected);
    EXPECT_EQ(driver.readCountsAsked.size(), c.readsMade);
    EXPECT_EQ(Elapsed(), 10u * c.readsMade);
    for (uint32_t asked : driver.readCountsAsked) {
        EXPECT_EQ(asked, kReplyReadCount);
    }
    ASSERT_EQ(driver.writes.size(), 1u);
    EXPECT_EQ(driver.writes[0], std::vector<uint8_t>(frame, frame + 3));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SendFrameReplies,
    ::testing::Values(ReplyCase{"AckAfter10ms", {Bytes({0x06})}, 1, 1},
                      ReplyCase{"IdleIdleAck", {Bytes({0x00}), Bytes({0x00}), Bytes({0x06})}, 1, 3},
                      ReplyCase{"RefusalEndsAtOnce", {Bytes({0x15}), Bytes({0x06})}, 0, 1},
                      ReplyCase{
                          "FailedReadWithoutCountPolls", {FailedRead(0), Bytes({0x06})}, 1, 2},
                      ReplyCase{"FailedReadWithCountEnds", {FailedRead(1), Bytes({0x06})}, 0, 1},
                      ReplyCase{"EmptyReadPolls", {Empty(), Empty(), Bytes({0x06})}, 1, 3},
                      ReplyCase{"CountAboveAskedIsAFailedRead", {ScriptedRead{0, {0x06}, 9}}, 0, 1},
                      ReplyCase{"SilenceUntilTheDeadline", {}, 0, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeTest, DeadlineCountsTheWriteAndStillReadsOnce) {
    driver.onWrite = [this](const std::vector<uint8_t>&) { clock.Advance(12000); };
    const uint8_t frame[3] = {0x02, 0xEB, 0x05};
    EXPECT_EQ(SendFrame(link, clock, frame, 3), 0);
    EXPECT_EQ(driver.readCountsAsked.size(), 1u);

    driver.reads = {Bytes({0x06})};
    driver.readCountsAsked.clear();
    EXPECT_EQ(SendFrame(link, clock, frame, 3), 1);
    EXPECT_EQ(driver.readCountsAsked.size(), 1u);
}

TEST_F(ExchangeTest, FailedWriteMakesNoReadAndNoDeviceMakesNoWrite) {
    driver.writeResult = 1;
    const uint8_t frame[3] = {0x02, 0xEB, 0x00};
    uint8_t block[8];
    EXPECT_EQ(SendFrame(link, clock, frame, 3), 0);
    EXPECT_EQ(ReadBlock8(link, clock, block), 0);
    EXPECT_TRUE(driver.readCountsAsked.empty());

    driver.writes.clear();
    link.deviceHandle = 0;
    EXPECT_EQ(SendFrame(link, clock, frame, 3), 0);
    EXPECT_EQ(ReadBlock64(link, clock, block), 0);
    EXPECT_TRUE(driver.writes.empty());
}

std::vector<uint8_t> Sequence(uint8_t from, size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), from);
    return bytes;
}

struct BlockCase {
    const char* name;
    uint32_t blockLength;
    std::vector<ScriptedRead> reads;
    int expected;
    std::vector<uint8_t> block;
};

class ReadBlockArrivals : public ExchangeTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(ReadBlockArrivals, GathersTheBlockInArrivalOrder) {
    const BlockCase& c = GetParam();
    driver.reads.assign(c.reads.begin(), c.reads.end());
    std::vector<uint8_t> out(c.blockLength, 0xEE);
    const int result = c.blockLength == 8 ? ReadBlock8(link, clock, out.data())
                                          : ReadBlock64(link, clock, out.data());
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(out, c.expected == 1 ? c.block : std::vector<uint8_t>(c.blockLength, 0xEE));
    ASSERT_EQ(driver.writes.size(), 1u);
    EXPECT_EQ(driver.writes[0],
              std::vector<uint8_t>{c.blockLength == 8 ? kRead8Request : kRead64Request});
    for (uint32_t asked : driver.readCountsAsked) {
        EXPECT_EQ(asked, c.blockLength);  // every read asks for a whole block
    }
    if (c.expected == 0) {
        EXPECT_GE(Elapsed(), kExchangeDeadlineMs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, ReadBlockArrivals,
    ::testing::Values(
        BlockCase{
            "ThreeThenFive", 8, {Bytes(Sequence(0, 3)), Bytes(Sequence(3, 5))}, 1, Sequence(0, 8)},
        BlockCase{"SixtyThenFour",
                  64,
                  {Bytes(Sequence(0, 60)), Bytes(Sequence(60, 4))},
                  1,
                  Sequence(0, 64)},
        BlockCase{"FailedReadsIgnored",
                  8,
                  {Bytes(Sequence(0, 2)), FailedRead(3), FailedRead(0), Bytes(Sequence(2, 6))},
                  1,
                  Sequence(0, 8)},
        BlockCase{"OversizedCountIgnored",
                  8,
                  {ScriptedRead{0, Sequence(0, 8), 200}, Bytes(Sequence(10, 8))},
                  1,
                  Sequence(10, 8)},
        BlockCase{"SixtyThreeThenSilence", 64, {Bytes(Sequence(0, 63))}, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct WideCase {
    int32_t modelIndex;
    OsVersion version;
    int expected;
};

class WideReads : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideReads, OnlyForNewerSeriesOnNt5AndLater) {
    EXPECT_EQ(UseWideReads(GetParam().modelIndex, GetParam().version), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, WideReads,
    ::testing::Values(WideCase{2, {true, 2, 10}, 0}, WideCase{1, {true, 2, 5}, 1},
                      WideCase{0, {true, 2, 6}, 1}, WideCase{1, {true, 2, 4}, 0},
                      WideCase{0, {true, 1, 10}, 0}, WideCase{1, {false, 2, 10}, 0}));


class Recorder final : public ExchangeObserver {
  public:
    void Exchanged(const ExchangeRecord& r) override {
        seen.push_back({{r.sent.begin(), r.sent.end()},
                        r.endMs - r.startMs,
                        r.polls,
                        r.written,
                        r.succeeded,
                        {r.received.begin(), r.received.end()}});
    }
    struct Seen {
        std::vector<uint8_t> sent;
        uint32_t ms;
        uint32_t polls;
        bool written;
        bool succeeded;
        std::vector<uint8_t> received;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
};

// Each exchange is reported once it has ended, with its polls and what came back.
TEST_F(ExchangeTest, ObserverSeesEveryExchange) {
    Recorder recorder;
    link.observer = &recorder;
    const uint8_t frame[3] = {0x02, 0xEB, 0x05};
    uint8_t block[8];
    driver.reads = {Empty(), Bytes({0x06, 0x41}), Bytes({1, 2, 3}), Bytes({4, 5, 6, 7, 8, 9}),
                    Bytes({0x15})};
    EXPECT_EQ(SendFrame(link, clock, frame, 3), 1);
    EXPECT_EQ(ReadBlock8(link, clock, block), 1);
    EXPECT_EQ(SendFrame(link, clock, frame, 3), 0);
    driver.writeResult = 1;
    EXPECT_EQ(ReadBlock64(link, clock, block), 0);
    using Seen = Recorder::Seen;
    EXPECT_EQ(recorder.seen,
              (std::vector<Seen>{{{0x02, 0xEB, 0x05}, 20, 2, true, true, {0x06}},
                                 {{0x20}, 20, 2, true, true, {1, 2, 3, 4, 5, 6, 7, 8}},
                                 {{0x02, 0xEB, 0x05}, 10, 1, true, false, {0x15}},
                                 {{0x21}, 0, 0, false, false, {}}}));
}

}  // namespace
}  // namespace velloran::testing
