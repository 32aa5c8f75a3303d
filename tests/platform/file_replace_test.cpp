// The durable replace on the real file system: the order of its flushes and what a
// failing step leaves.
#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include "tests/support/replace_log.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

// The bytes reach the disk before the move, the folder entry after it; success only once
// all three steps succeeded.
TEST(FileReplace, FlushesTheFileThenMovesThenFlushesTheFolder) {
    const std::vector<uint8_t> kOld{'o', 'l', 'd'}, kNew{'n', 'e', 'w', '!'};
    const struct {
        const char* failing;  // the step that fails, "" none
        size_t stepsTaken;
        const std::vector<uint8_t>& target;  // what the target holds afterwards
    } cases[] = {{"", 3, kNew}, {"flush", 1, kOld}, {"move", 2, kOld}, {"folder", 3, kNew}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        TempDir dir;
        const std::string from = dir.File("new.part");
        const std::string to = dir.File("b.vid");
        WriteBytes(from, kNew);
        WriteBytes(to, kOld);
        std::vector<std::string> log;
        const bool fail = true;
        EXPECT_EQ(MoveFileReplacing(from, to, LoggedReplaceSteps(log, c.failing, fail)),
                  std::string(c.failing).empty());
        EXPECT_EQ(ReadBytes(to), c.target);
        std::vector<std::string> all{"flush " + from, "move " + from + " " + to,
                                     "folder " + Utf8FromPath(dir.Path())};
        all.resize(c.stepsTaken);
        EXPECT_EQ(log, all);
    }
}

}  // namespace
}  // namespace velloran::testing
