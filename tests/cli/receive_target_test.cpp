#include "cli/receive_target.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace velloran::cli {
namespace {

using velloran::testing::TempDir;
using velloran::testing::WriteBytes;

struct NameCase {
    int32_t modelIndex;
    LocalDate date;
    const char* expected;
};

class DefaultReceiveName : public ::testing::TestWithParam<NameCase> {};

TEST_P(DefaultReceiveName, IsTheDatedBackupNameInTheCurrentFolder) {
    const NameCase& c = GetParam();
    EXPECT_EQ(ReceiveTargetPath(c.modelIndex, std::nullopt, c.date), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Models, DefaultReceiveName,
                         ::testing::Values(NameCase{0, {2014, 3, 7}, "lmq30_140307.vid"},
                                           NameCase{1, {2026, 12, 31}, "lmq20_261231.vid"},
                                           NameCase{2, {2000, 1, 9}, "lmq10_000109.vid"}));

TEST(ReceiveTarget, AGivenFileWins) {
    EXPECT_EQ(ReceiveTargetPath(1, "dir/mine.vid", {2014, 3, 7}), "dir/mine.vid");
}

TEST(ReceiveTarget, WritesOnlyWhereNothingStandsUnlessForced) {
    TempDir dir;
    const std::string fresh = dir.File("fresh.vid");
    const std::string existing = dir.File("existing.vid");
    const std::string dangling = dir.File("dangling.vid");
    WriteBytes(existing, {1, 2, 3});
    // Windows lets only some accounts make links; the dangling case needs one.
    std::error_code noLinks;
    std::filesystem::create_symlink(dir.File("nowhere"), dangling, noLinks);

    EXPECT_TRUE(MayWriteReceiveTarget(fresh, false));
    EXPECT_FALSE(MayWriteReceiveTarget(existing, false));
    if (!noLinks) {
        EXPECT_FALSE(MayWriteReceiveTarget(dangling, false));
    }
    EXPECT_FALSE(MayWriteReceiveTarget(dir.Path().string(), false));
    EXPECT_TRUE(MayWriteReceiveTarget(existing, true));
}

}  // namespace
}  // namespace velloran::cli
