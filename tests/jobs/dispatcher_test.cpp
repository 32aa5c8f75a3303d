#include "jobs/dispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/backup_layout.h"
#include "jobs/string_table.h"
#include "platform/clock.h"
#include "tests/support/job_fixture.h"

namespace velloran {
namespace {

using namespace testing;

// Runs the job on the calling thread, or refuses to start one.
class InlineStarter final : public WorkerStarter {
  public:
    explicit InlineStarter(bool fails = false) : fails_(fails) {}
    std::optional<std::thread> Start(std::function<void()> body) override {
        ++starts;
        if (fails_) {
            return std::nullopt;
        }
        body();
        return std::thread();
    }
    int starts = 0;

  private:
    bool fails_;
};

std::vector<uint8_t> MultiRegionFileOf(uint32_t length) {
    // Filled at its full length first, then headed: growing the 8-byte header in
    // place trips GCC 12's -Warray-bounds at -O3.
    const std::vector<uint8_t> header = HeaderOf(kQ30);
    std::vector<uint8_t> file(length, 0x5A);
    std::copy(header.begin(), header.end(), file.begin());
    return file;
}

struct RangeCase {
    const char* name;
    int32_t model;
    int32_t direction;
    std::vector<uint8_t> file;  // empty: none
    uint32_t range;
};

class DispatchRange : public JobTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(DispatchRange, SizesTheBarBeforeStartingTheJob) {
    const RangeCase& c = GetParam();
    Prepare(c.model, c.direction);
    if (!c.file.empty()) {
        WriteBytes(context->filePath, c.file);
    }
    printer.silentFrom = 1;  // the job ends at its first frame; only the sizing matters
    InlineStarter starter;
    OnBkupStart(*context, starter);
    EXPECT_EQ(starter.starts, 1);
    const std::vector<std::string> calls = progress.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "range " + std::to_string(c.range));
    EXPECT_EQ(calls[1], "step 1");
    EXPECT_EQ(calls[2], "pos 0");
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, DispatchRange,
    ::testing::Values(
        RangeCase{"SendLength1", kQ20, 1, SingleRegionFile(HeaderOf(kQ20), 0, 1, 1), 10},
        RangeCase{"SendLength60", kQ10, 1, SingleRegionFile(HeaderOf(kQ10), 0, 60, 60), 10},
        RangeCase{"SendLength61", kQ20, 1, SingleRegionFile(HeaderOf(kQ10), 0, 61, 61), 11},
        RangeCase{"SendFullImage", kQ20, 1, SingleRegionFile(HeaderOf(kQ20), 0, 0x28000, 0x28000),
                  2740},
        RangeCase{"ReceiveQ20", kQ20, 0, {}, 20482}, RangeCase{"ReceiveQ10", kQ10, 0, {}, 20482},
        RangeCase{"OtherDirectionIsAReceive", kQ10, 2, {}, 20482},
        RangeCase{"MultiSendLayout0", kQ30, 1, MultiRegionFileOf(kMultiRegionFileLength), 3173},
        RangeCase{"MultiSendLayout1", kQ30, 1,
                  SingleRegionFile(HeaderOf(kQ20), 0x10008000, 0x28000, 0x28000), 1248},
        RangeCase{"MultiSendLayout2", kQ30, 1,
                  SingleRegionFile(HeaderOf(kQ10), 0x10008000, 0x28000, 0x28000), 1248},
        RangeCase{"MultiReceive", kQ30, 0, {}, 2927},
        RangeCase{"MultiOtherDirection", kQ30, -1, {}, 2927}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    int32_t model;
    std::vector<uint8_t> file;
};

class DispatchRefusedFile : public JobTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(DispatchRefusedFile, ReportsSendFailedWithNothingSentAndTheBarUntouched) {
    Prepare(GetParam().model, kDirectionSend);
    if (!GetParam().file.empty()) {
        WriteBytes(context->filePath, GetParam().file);
    }
    InlineStarter starter;
    OnBkupStart(*context, starter);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_SEND_FAILED, 0));
    EXPECT_EQ(starter.starts, 0);
    EXPECT_TRUE(Frames().empty());
    EXPECT_TRUE(progress.Calls().empty());
    EXPECT_FALSE(context->threadHandle.joinable());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DispatchRefusedFile,
    ::testing::Values(
        RefusedCase{"MissingFile", kQ20, {}},
        RefusedCase{"NewerModelsBackup", kQ20, SingleRegionFile(HeaderOf(kQ30), 0, 10, 10)},
        RefusedCase{"ZeroHeaderToMultiRegion", kQ30,
                    SingleRegionFile(std::vector<uint8_t>(8, 0), 0, 10, 10)},
        // Files the header test passes but whose data ends before the region plan's:
        RefusedCase{"MultiRegionFileOneByteShort", kQ30,
                    MultiRegionFileOf(kMultiRegionFileLength - 1)},
        RefusedCase{"SingleRegionFileTooShortForThePlan", kQ30,
                    SingleRegionFile(HeaderOf(kQ20), 0x10008000, 0x28000, 0x8004 + 0x10000 - 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobTest, SingleRegionFileJustLongEnoughForThePlanIsSent) {
    Prepare(kQ30, kDirectionSend);
    WriteBytes(context->filePath,
               SingleRegionFile(HeaderOf(kQ10), 0x10008000, 0x28000, 0x8004 + 0x10000));
    InlineStarter starter;
    OnBkupStart(*context, starter);
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
}

// The fine system timer is held only while a job runs, and let go when it ends.
TEST_F(JobTest, FineTimerIsHeldOnlyWhileTheJobRuns) {
    Prepare(kQ20, kDirectionReceive);
    std::vector<int> held;
    printer.beforeReply = [&held](uint32_t n) {
        if (n == 1 || n == 2000) {
            held.push_back(FineTimerScope::Active());
        }
    };
    InlineStarter starter;
    EXPECT_EQ(FineTimerScope::Active(), 0);
    OnBkupStart(*context, starter);
    EXPECT_EQ(held, (std::vector<int>{1, 1}));
    EXPECT_EQ(FineTimerScope::Active(), 0);
}

TEST_F(JobTest, ThreadThatCannotStartReportsGenericError) {
    Prepare(kQ20, kDirectionReceive);
    InlineStarter starter(true);
    OnBkupStart(*context, starter);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_GENERIC_ERROR, 0));
    EXPECT_FALSE(context->threadHandle.joinable());
    EXPECT_TRUE(Frames().empty());
}

TEST_F(JobTest, RealWorkerThreadDeliversOneOutcome) {
    Prepare(kQ30, kDirectionReceive);
    OnBkupStart(*context);
    ASSERT_TRUE(context->threadHandle.joinable());
    context->threadHandle.join();
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    EXPECT_EQ(progress.Steps(), 2920u);
}

}  // namespace
}  // namespace velloran
