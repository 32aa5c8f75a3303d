#include <gtest/gtest.h>

#include <sstream>

#include "cli/progress_bar.h"
#include "cli/progress_format.h"
#include "tests/support/fake_clock.h"

namespace velloran::testing {
namespace {

using namespace velloran::cli;

// A progress line shows bar, percent, speed and time left, from the frames done of all,
// the time taken and the bytes of memory the run moves; speeds pick their unit;
// durations are minutes and seconds, or hours.
TEST(ProgressFormat, LinesSpeedsAndDurations) {
    const std::pair<std::string, const char*> rows[] = {
        {FormatProgressLine({0, 20482, 0, 163840}),
         "[..............................]   0%  --  -- left"},
        {FormatProgressLine({0, 0, 500, 163840}),  // no range yet
         "[..............................]   0%  --  -- left"},
        // 8 KiB of 16 KiB in 2 s: 4 KiB/s; the other half takes 2 s more.
        {FormatProgressLine({1024, 2048, 2000, 16384}),
         "[###############...............]  50%  4.0 KiB/s  0:02 left"},
        // 100 of 2740 frames in 1 s carry 5979.6 of 163840 bytes; 2640 frames left: 26.4 s,
        // shown rounded up.
        {FormatProgressLine({100, 2740, 1000, 163840}),
         "[#.............................]   3%  5.8 KiB/s  0:27 left"},
        {FormatProgressLine({2740, 2740, 27400, 163840}),
         "[##############################] 100%  5.8 KiB/s  0:00 left"},
        {FormatProgressLine({3000, 2740, 27400, 163840}),  // past the end
         "[##############################] 100%  5.8 KiB/s  0:00 left"},
        {FormatSpeed(100), "100 B/s"},
        {FormatSpeed(1023.2), "1023 B/s"},
        {FormatSpeed(1024), "1.0 KiB/s"},
        {FormatSpeed(1048576), "1.0 MiB/s"},
        {FormatDuration(0), "0:00"},
        {FormatDuration(7), "0:07"},
        {FormatDuration(754), "12:34"},
        {FormatDuration(3723), "1:02:03"},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(text, expected);
    }
}

size_t Count(const std::string& text, char c) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

// A bar redraws at most every 100 ms, so thousands of steps a second cost a few lines.
TEST(TerminalProgressBar, RedrawsAtMostEveryHundredMilliseconds) {
    std::ostringstream out;
    FakeClock clock;
    TerminalProgressBar bar(out, clock, 8000);
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

// Each line is padded so a short one covers a long one; Finish ends the line only when
// one was drawn.
TEST(TerminalProgressBar, PadsItsLinesAndFinishEndsThem) {
    std::ostringstream out;
    FakeClock clock;
    TerminalProgressBar quiet(out, clock, 80);
    quiet.Finish();
    EXPECT_EQ(out.str(), "");
    TerminalProgressBar bar(out, clock, 640);
    bar.SetRange(10);
    ASSERT_EQ(out.str().front(), '\r');
    EXPECT_EQ(out.str().size(), 1u + 72u);
    bar.SetStep(2);
    clock.Advance(1000);
    bar.Step();
    bar.Finish();
    const std::string text = out.str();
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find(" 20%  128 B/s  0:04 left"), std::string::npos) << text;
}

}  // namespace
}  // namespace velloran::testing
