#include "jobs/outcome.h"

#include <gtest/gtest.h>

#include "jobs/string_table.h"

namespace velloran::testing {
namespace {

struct TextCase {
    const char* name;
    Outcome outcome;
    uint32_t textId;
    std::string suffix;
};

class OutcomeTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(OutcomeTexts, ShowTheEntryAndTheDetailSuffix) {
    const TextCase& c = GetParam();
    EXPECT_EQ(OutcomeText(c.outcome), LoadTableString(c.textId).value() + c.suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OutcomeTexts,
    ::testing::Values(
        TextCase{"Success", Outcome::Succeeded(), IDS_TRANSFER_DONE, ""},
        TextCase{"ReadRequest", Outcome::Failed(120, 0x21), IDS_RECEIVE_INTERRUPTED,
                 " (0x21 0x00)"},
        TextCase{"SubCode", Outcome::Failed(119, 0x500EB), IDS_SEND_INTERRUPTED, " (0xeb 0x05)"},
        TextCase{"Bit31Set", Outcome::Failed(119, 0x800000EB), IDS_SEND_INTERRUPTED, ""},
        TextCase{"IdWithoutText", Outcome::Failed(113, 0), IDS_GENERIC_ERROR, ""},
        TextCase{"IdWithoutTextKeepsSuffix", Outcome::Failed(9999, 0xEC), IDS_GENERIC_ERROR,
                 " (0xec 0x00)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringTable, HasTheProductNameAndNoEmptyEntries) {
    EXPECT_EQ(LoadTableString(IDS_APP_TITLE), "VELLORAN");
    EXPECT_EQ(LoadTableString(IDS_HELP_MISSING), "ヘルプが見つかりません。");
    EXPECT_EQ(LoadTableString(111), std::nullopt);
    EXPECT_NE(LoadTableString(IDS_SEND_FAILED)->find('\n'), std::string::npos);
}

}  // namespace
}  // namespace velloran::testing
