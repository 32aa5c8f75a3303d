#include "cli/receive_target.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

using namespace velloran::cli;

// The dated name, two digits each, stands in the current folder; a receive writes only
// where nothing stands unless forced.
TEST(ReceiveTarget, IsTheDatedNameAndNeverReplacesUnlessForced) {
    EXPECT_EQ(ReceiveTargetPath(2, std::nullopt, {2000, 1, 9}), "lmq10_000109.vid");
    EXPECT_EQ(ReceiveTargetPath(1, "dir/mine.vid", {2014, 3, 7}), "dir/mine.vid");
    TempDir dir;
    const std::string existing = dir.File("existing.vid");
    const std::string dangling = dir.File("dangling.vid");
    WriteBytes(existing, {1, 2, 3});
    // Windows lets only some accounts make links; the dangling case needs one.
    std::error_code noLinks;
    std::filesystem::create_symlink(dir.File("nowhere"), dangling, noLinks);
    EXPECT_TRUE(MayWriteReceiveTarget(dir.File("fresh.vid"), false));
    EXPECT_FALSE(MayWriteReceiveTarget(existing, false));
    EXPECT_TRUE(noLinks || !MayWriteReceiveTarget(dangling, false));
    EXPECT_FALSE(MayWriteReceiveTarget(dir.Path().string(), false));
    EXPECT_TRUE(MayWriteReceiveTarget(existing, true));
}

}  // namespace
}  // namespace velloran::testing
