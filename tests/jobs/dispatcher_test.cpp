#include "jobs/dispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/backup_layout.h"
#include "jobs/string_table.h"
#include "platform/clock.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

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

// The open frame of each model, newest first, as the printer expects it.
std::vector<uint8_t> OpenFrameBytes(int32_t model) {
    const uint8_t signatures[3][4] = {
        {0x01, 0x06, 0x01, 0x01}, {0x00, 0x08, 0x09, 0x01}, {0x00, 0x03, 0x09, 0x01}};
    std::vector<uint8_t> frame = {0x02, 0x02, 0x04, 0x00};
    frame.insert(frame.end(), signatures[model], signatures[model] + 4);
    frame.resize(16, 0x00);
    return frame;
}

struct JobCase {
    const char* name;
    int32_t model;
    int32_t direction;
    std::vector<uint8_t> file;  // empty: none
    uint32_t range;
    size_t frames;  // written by the job it starts, run to its end
};

class DispatchJob : public JobTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(DispatchJob, SizesTheBarThenRunsTheJobOfTheModelAndDirection) {
    const JobCase& c = GetParam();
    Prepare(c.model, c.direction);
    if (!c.file.empty()) {
        WriteBytes(context->filePath, c.file);
    }
    InlineStarter starter;
    OnBkupStart(*context, starter);
    EXPECT_EQ(starter.starts, 1);
    const std::vector<std::string> calls = progress.Calls();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"range " + std::to_string(c.range), "step 1", "pos 0"}));
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    EXPECT_EQ(Frames().size(), c.frames);
    ASSERT_FALSE(Frames().empty());
    EXPECT_EQ(Frames()[0], OpenFrameBytes(c.model)) << "the chosen model's signature";
}

// Frames: a receive writes an open frame, an address per region and a read request per
// block (64 bytes, 8 for the LM-Q10); a send nine frames per region and one per 60 bytes.
INSTANTIATE_TEST_SUITE_P(
    EveryModelAndDirection, DispatchJob,
    ::testing::Values(
        JobCase{"Q30Receive", kQ30, kDirectionReceive, {}, 2927, 2920},
        JobCase{"Q30OtherDirectionIsAReceive", kQ30, -1, {}, 2927, 2920},
        JobCase{"Q20Receive", kQ20, kDirectionReceive, {}, 20482, 2562},
        JobCase{"Q10Receive", kQ10, kDirectionReceive, {}, 20482, 20482},
        JobCase{"Q10OtherDirectionIsAReceive", kQ10, 2, {}, 20482, 20482},
        JobCase{"Q30SendLayout0", kQ30, kDirectionSend, MultiRegionFileOf(kMultiRegionFileLength),
                3173, 3173},
        JobCase{"Q30SendLayout1", kQ30, kDirectionSend,
                SingleRegionFile(HeaderOf(kQ20), 0x10008000, 0x28000, 0x28000), 1248, 1248},
        JobCase{"Q30SendLayout2JustLongEnough", kQ30, kDirectionSend,
                SingleRegionFile(HeaderOf(kQ10), 0x10008000, 0x28000, 0x8004 + 0x10000), 1248,
                1248},
        JobCase{"Q20SendFullImage", kQ20, kDirectionSend,
                SingleRegionFile(HeaderOf(kQ20), 0x10008000, 0x28000, 0x28000), 2740, 2740},
        JobCase{"Q20SendLength61", kQ20, kDirectionSend,
                SingleRegionFile(HeaderOf(kQ10), 0x10008000, 61, 61), 11, 11},
        JobCase{"Q10SendLength60", kQ10, kDirectionSend,
                SingleRegionFile(HeaderOf(kQ10), 0x10008000, 60, 60), 10, 10}),
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
}  // namespace velloran::testing
