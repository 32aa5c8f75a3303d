#include "jobs/exchange_trace.h"

#include <gtest/gtest.h>

#include <sstream>

#include "jobs/frames.h"
#include "jobs/outcome.h"
#include "jobs/string_table.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Each frame to the byte; the open, setup and target frames of the jobs are pinned where
// the jobs send them.
TEST(Frames, AreExactToTheByte) {
    const uint8_t data[3] = {0xA0, 0xA1, 0xA2};
    const std::pair<Frame, const char*> cases[] = {
        {AddressFrame(0x10000000), "02 ec 04 00 00 00 00 10"},
        {ControlFrame(0x00), "02 eb 00"},
        {ControlFrame(0x05), "02 eb 05"},
        {ControlFrame(0x07), "02 eb 07"},
        {SetupFrame(0x10008000, 0x28000), "02 eb 09 08 00 00 80 00 10 00 80 02 00"},
        {DataFrame(data, 1), "02 ed 01 00 a0"},
        {DataFrame(data, 3), "02 ed 03 00 a0 a1 a2"},
    };
    for (const auto& [frame, bytes] : cases) {
        EXPECT_EQ(Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.length), Hex(bytes));
    }
}

// Lines carry the time since the trace began; a note of several lines becomes one.
TEST(ExchangeTrace, WritesAsItGoes) {
    FakeClock clock(5000);
    std::ostringstream out;
    ExchangeTrace trace(out, clock);
    trace.Exchanged({Hex("21"), 5030, 0, 1, true, false, {}});
    clock.SleepMs(10000);
    trace.Note("outcome: first\nsecond");
    EXPECT_EQ(out.str(),
              "     30 ms  read64    21  polls 1  got 0 of 64 bytes (deadline)\n"
              "  10000 ms  outcome: first second\n");
}

// The text of an outcome is its table entry (115 the generic one for an id without an
// entry) and the detail's command and sub-code bytes, none when bit 31 is set.
TEST(Outcome, TextIsTheEntryAndTheDetailSuffix) {
    const struct {
        Outcome outcome;
        uint32_t textId;
        const char* suffix;
    } cases[] = {
        {Outcome::Succeeded(), 121, ""},
        {Outcome::Failed(120, 0x21), 120, " (0x21 0x00)"},
        {Outcome::Failed(119, 0x500EB), 119, " (0xeb 0x05)"},
        {Outcome::Failed(119, 0x800000EB), 119, ""},
        {Outcome::Failed(9999, 0xEC), 115, " (0xec 0x00)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutcomeText(c.outcome), LoadTableString(c.textId).value() + c.suffix);
    }
}

}  // namespace
}  // namespace velloran::testing
