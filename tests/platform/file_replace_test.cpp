// The durable replace on the real file system: the order of its flushes and what a
// failing step leaves.
#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include "tests/support/replace_log.h"
#include "tests/support/temp_dir.h"

namespace velloran {
namespace {

using namespace testing;

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', '!'};

struct StepCase {
    const char* failing;  // the step that fails, "" none
    size_t stepsTaken;
    std::vector<uint8_t> target;  // what the target holds afterwards
};

class ReplaceStep : public ::testing::TestWithParam<StepCase> {};

// The bytes reach the disk before the move, the folder entry after it; success only once
// all three steps succeeded.
TEST_P(ReplaceStep, FlushesTheFileThenMovesThenFlushesTheFolder) {
    TempDir dir;
    const std::string from = dir.File("new.part");
    const std::string to = dir.File("b.vid");
    WriteBytes(from, kNew);
    WriteBytes(to, kOld);
    std::vector<std::string> log;
    const bool fail = true;
    const bool replaced =
        MoveFileReplacing(from, to, LoggedReplaceSteps(log, GetParam().failing, fail));
    EXPECT_EQ(replaced, std::string(GetParam().failing).empty());
    EXPECT_EQ(ReadBytes(to), GetParam().target);
    std::vector<std::string> all{"flush " + from, "move " + from + " " + to,
                                 "folder " + Utf8FromPath(dir.Path())};
    all.resize(GetParam().stepsTaken);
    EXPECT_EQ(log, all);
}

INSTANTIATE_TEST_SUITE_P(Table, ReplaceStep,
                         ::testing::Values(StepCase{"", 3, kNew}, StepCase{"flush", 1, kOld},
                                           StepCase{"move", 2, kOld}, StepCase{"folder", 3, kNew}),
                         [](const auto& info) {
                             const std::string step = info.param.failing;
                             return step.empty() ? std::string("AllSucceed") : "Failing_" + step;
                         });

}  // namespace
}  // namespace velloran
