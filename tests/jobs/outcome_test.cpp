#include "jobs/outcome.h"

#include <gtest/gtest.h>

#include "jobs/string_table.h"

namespace velloran::testing {
namespace {

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
        {Outcome::Failed(113, 0), 115, ""},
        {Outcome::Failed(9999, 0xEC), 115, " (0xec 0x00)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OutcomeText(c.outcome), LoadTableString(c.textId).value() + c.suffix);
    }
}

TEST(StringTable, HasTheProductNameAndNoEmptyEntries) {
    EXPECT_EQ(LoadTableString(IDS_APP_TITLE), "VELLORAN");
    EXPECT_EQ(LoadTableString(IDS_HELP_MISSING), "ヘルプが見つかりません。");
    EXPECT_EQ(LoadTableString(111), std::nullopt);
    EXPECT_NE(LoadTableString(117)->find('\n'), std::string::npos);
}

}  // namespace
}  // namespace velloran::testing
