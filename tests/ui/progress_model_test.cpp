// The progress control's arithmetic: range, step, clamped position, and the wrap of a
// step past the top.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/progress_model.h"

namespace velloran::testing {
namespace {

struct ProgressCase {
    const char* name;
    uint32_t upper;
    uint32_t position;  // set after the range
    int steps;          // of 1, after the position
    std::optional<uint32_t> narrowedTo;
    uint32_t expected;
};

class ProgressModelTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressModelTest, EndsAtTheExpectedPosition) {
    const ProgressCase& row = GetParam();
    ProgressModel model;
    model.SetRange(row.upper);
    model.SetStep(1);
    model.SetPosition(row.position);
    for (int i = 0; i < row.steps; ++i) {
        model.Step();
    }
    if (row.narrowedTo) {
        model.SetRange(*row.narrowedTo);
    }
    EXPECT_EQ(model.Position(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ProgressModelTest,
    ::testing::Values(ProgressCase{"CompleteRunFillsTheRange", 10, 0, 10, std::nullopt, 10},
                      ProgressCase{"StepPastTheTopStartsOver", 10, 0, 11, std::nullopt, 1},
                      ProgressCase{"PositionIsClampedToTheRange", 10, 25, 0, std::nullopt, 10},
                      ProgressCase{"NarrowerRangeClampsThePosition", 50, 40, 0, 20, 20},
                      ProgressCase{"EmptyRangeNeverMoves", 0, 0, 3, std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
