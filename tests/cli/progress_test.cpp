#include <gtest/gtest.h>

#include <sstream>

#include "cli/progress_bar.h"
#include "cli/progress_format.h"
#include "tests/support/fake_clock.h"

namespace velloran::testing {
namespace {

using namespace velloran::cli;

struct LineCase {
    const char* name;
    ProgressSnapshot snapshot;
    const char* expected;
};

class ProgressLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ProgressLine, ShowsBarPercentSpeedAndTimeLeft) {
    EXPECT_EQ(FormatProgressLine(GetParam().snapshot), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, ProgressLine,
    ::testing::Values(LineCase{"NothingYet",
                               {0, 20482, 0, 8},
                               "[..............................]   0%  --  -- left"},
                      // 1024 steps of 8 bytes in 2 s: 4 KiB/s; 1024 steps left take 2 s more.
                      LineCase{"HalfwayReceive",
                               {1024, 2048, 2000, 8},
                               "[###############...............]  50%  4.0 KiB/s  0:02 left"},
                      // 100 frames in 1 s, 2640 frames left: 26.4 s, shown rounded up.
                      LineCase{"SendCountsFrames",
                               {100, 2740, 1000, 0},
                               "[#.............................]   3%  100 frames/s  0:27 left"},
                      LineCase{"PastTheEndIsFull",
                               {3000, 2740, 27400, 0},
                               "[##############################] 100%  100 frames/s  0:00 left"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SpeedCase {
    double stepsPerSecond;
    uint32_t bytesPerStep;
    const char* expected;
};

class Speed : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(Speed, PicksTheUnit) {
    EXPECT_EQ(FormatSpeed(GetParam().stepsPerSecond, GetParam().bytesPerStep), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Units, Speed,
                         ::testing::Values(SpeedCase{12.5, 8, "100 B/s"},
                                           SpeedCase{128, 8, "1.0 KiB/s"},
                                           SpeedCase{131072, 8, "1.0 MiB/s"},
                                           SpeedCase{96.4, 0, "96 frames/s"}));

struct DurationCase {
    uint32_t seconds;
    const char* expected;
};

class Duration : public ::testing::TestWithParam<DurationCase> {};

TEST_P(Duration, IsMinutesAndSecondsOrHours) {
    EXPECT_EQ(FormatDuration(GetParam().seconds), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, Duration,
                         ::testing::Values(DurationCase{7, "0:07"}, DurationCase{754, "12:34"},
                                           DurationCase{3723, "1:02:03"}));

size_t Count(const std::string& text, char c) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

// A bar redraws at most every 100 ms, so thousands of steps a second cost a few lines.
TEST(TerminalProgressBar, RedrawsAtMostEveryHundredMilliseconds) {
    std::ostringstream out;
    FakeClock clock;
    TerminalProgressBar bar(out, clock, 8);
    bar.SetRange(1000);
    bar.SetStep(1);
    bar.SetPosition(0);
    for (int i = 0; i < 999; ++i) {
        clock.Advance(1);
        bar.Step();
    }
    // The range draws once; 999 ms of steps draw 9 more times.
    EXPECT_EQ(Count(out.str(), '\r'), 10u);
    bar.Step();  // the bar is full: drawn at once
    EXPECT_EQ(Count(out.str(), '\r'), 11u);
    EXPECT_NE(out.str().rfind("100%"), std::string::npos);
}

TEST(TerminalProgressBar, FinishEndsTheLineOnlyWhenOneWasDrawn) {
    std::ostringstream out;
    FakeClock clock;
    TerminalProgressBar quiet(out, clock, 8);
    quiet.Finish();
    EXPECT_EQ(out.str(), "");

    TerminalProgressBar bar(out, clock, 0);
    bar.SetRange(10);
    bar.SetStep(2);
    clock.Advance(1000);
    bar.Step();
    bar.Finish();
    const std::string text = out.str();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find(" 20%  2 frames/s  0:04 left"), std::string::npos) << text;
}

}  // namespace
}  // namespace velloran::testing
