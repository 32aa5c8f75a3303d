// The dispatcher that starts a job, and the session that owns a transfer from connect to
// close.
#include <gtest/gtest.h>

#include <tuple>

#include "jobs/dispatcher.h"
#include "jobs/string_table.h"
#include "jobs/transfer_session.h"
#include "platform/clock.h"
#include "platform/exclusive_file.h"
#include "platform/printer_lock.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// An LM-Q30 file, `cut` bytes short.
Bytes MultiRegionFileOf(uint32_t cut = 0) {
    const Bytes file = MultiRegionFile(1);
    return Bytes(file.begin(), file.end() - cut);
}

Bytes Single(int32_t fromModel, uint32_t length, uint32_t dataBytes = 0) {
    return SingleRegionFile(HeaderOf(fromModel), 0x10008000, length,
                            dataBytes != 0 ? dataBytes : length);
}

// The open frame of each model, newest first.
const char* const kOpenFrames[] = {"02 02 04 00 01 06 01 01 00 00 00 00 00 00 00 00",
                                   "02 02 04 00 00 08 09 01 00 00 00 00 00 00 00 00",
                                   "02 02 04 00 00 03 09 01 00 00 00 00 00 00 00 00"};

// The dispatcher sizes the bar (range, step 1, position 0) and starts the job of the model
// and direction, seen in its frames: the open frame of the model, then one that tells the
// jobs apart (a receive's first address or block request, a send's SetupFrame), and the
// frame count of a complete run. Every direction but 1 is a receive.
TEST(Dispatcher, SizesTheBarThenRunsTheJobOfTheModelAndDirection) {
    const struct {
        int32_t model, direction;
        Bytes file;  // empty: none
        uint32_t range;
        size_t frames;
        size_t at;  // the frame that tells the job
        const char* bytes;
    } cases[] = {
        {kQ30, 0, {}, 2927, 2920, 1, "02 ec 04 00 00 00 e6 10"},
        {kQ30, -1, {}, 2927, 2920, 2, "21"},
        {kQ20, 0, {}, 20482, 2562, 1, "02 ec 04 00 00 80 00 10"},
        {kQ10, 0, {}, 20482, 20482, 2, "20"},
        {kQ10, 2, {}, 20482, 20482, 1, "02 ec 04 00 00 80 00 10"},
        {kQ30, 1, MultiRegionFileOf(), 3173, 3173, 3, "02 eb 09 08 00 00 00 e6 10 00 00 02 00"},
        // Just long enough for the region plan of an older model's file.
        {kQ30, 1, Single(kQ10, 0x28000, 0x8004 + 0x10000), 1248, 1248, 6,
         "02 ec 04 00 00 00 f6 10"},
        {kQ20, 1, Single(kQ10, 61), 11, 11, 3, "02 eb 09 08 00 00 80 00 10 3d 00 00 00"},
        {kQ10, 1, Single(kQ10, 60), 10, 10, 3, "02 eb 09 08 00 00 80 00 10 3c 00 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << " " << c.direction << " " << c.range);
        JobRig r;
        r.Prepare(c.model, c.direction, c.file);
        bool fineTimerHeld = true;  // the fine system timer, only while the job runs
        r.printer.beforeReply = [&](uint32_t) { fineTimerHeld &= FineTimerScope::Active() == 1; };
        TestStarter starter(TestStarter::kInline);
        OnBkupStart(*r.context, starter);
        EXPECT_EQ(std::make_tuple(fineTimerHeld, FineTimerScope::Active(), starter.starts),
                  std::make_tuple(true, 0, 1));
        EXPECT_EQ(r.progress.Calls(), (std::vector<std::string>{"range " + std::to_string(c.range),
                                                                "step 1", "pos 0"}));
        EXPECT_EQ(r.OnlyOutcome(), Outcome::Succeeded());
        ASSERT_EQ(r.Frames().size(), c.frames);
        EXPECT_EQ(r.Frames()[0], Hex(kOpenFrames[c.model]));
        EXPECT_EQ(r.Frames()[c.at], Hex(c.bytes));
    }
}

// A file refused before a send, or held by another program: outcome 117, nothing sent,
// the bar untouched.
TEST(Dispatcher, RefusedFileReportsSendFailedWithNothingSent) {
    const struct {
        int32_t model;
        Bytes file;
        bool held = false;  // another program holds the file
    } cases[] = {
        {kQ20, Single(kQ20, 600), true},
        {kQ20, {}},                                           // missing
        {kQ20, SingleRegionFile(HeaderOf(kQ30), 0, 10, 10)},  // a newer model's
        {kQ30, SingleRegionFile(Bytes(8, 0), 0, 10, 10)},     // zero header
        {kQ30, MultiRegionFileOf(1)},                         // shorter than its plan
        {kQ30, Single(kQ20, 0x28000, 0x8004 + 0x10000 - 1)},  // shorter than its plan
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.size());
        JobRig r;
        r.Prepare(c.model, kDirectionSend, c.file);
        const ExclusiveFile holder(c.held ? r.context->filePath : r.dir.File("other.vid"),
                                   FileAccess::kWriteCreateOrAppend);
        ASSERT_TRUE(holder.IsOpen());
        TestStarter starter(TestStarter::kInline);
        OnBkupStart(*r.context, starter);
        EXPECT_EQ(r.OnlyOutcome(), Outcome::Failed(IDS_SEND_FAILED, 0));
        EXPECT_TRUE(starter.starts == 0 && r.Frames().empty() && r.progress.Calls().empty());
    }
}

TEST_F(JobTest, ThreadThatCannotStartReportsGenericError) {
    Prepare(kQ20, kDirectionReceive);
    TestStarter starter(TestStarter::kRefusing);
    OnBkupStart(*context, starter);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_GENERIC_ERROR, 0));
    EXPECT_TRUE(!context->threadHandle.joinable() && Frames().empty());
}

// RunTransfer releases the session, and its destructor again: the device is ended, with
// the printer still held, then the library freed, once.
TEST(RunTransfer, EndsTheDeviceAndFreesTheLibraryOnceAfterTheOutcome) {
    JobRig r;
    std::vector<int> freesAtEnd;
    r.driver.onEnd = [&r, &freesAtEnd] {
        freesAtEnd.push_back(r.driver.frees);
        EXPECT_TRUE(PrinterLockTaken("Hdv305.dll", 0)) << "no other transfer may start yet";
    };
    EXPECT_EQ(RunTransfer({0, 0, r.dir.File("q30.vid")}, r.progress, {&r.driver, &r.clock}),
              Outcome::Succeeded());
    EXPECT_EQ(std::tie(r.driver.endedHandles, r.driver.loads, r.driver.frees),
              std::make_tuple(std::vector<uint32_t>{0x5A}, 1, 1));
    EXPECT_EQ(freesAtEnd, std::vector<int>{0});
    EXPECT_EQ(ReadBytes(r.dir.File("q30.vid")).size(), 186432u);
}

// The destructor joins the worker before it ends the device and frees the library.
TEST(TransferSession, DestructorJoinsTheWorkerBeforeItEndsTheDevice) {
    JobRig r;
    TestStarter starter(TestStarter::kLingering);
    AwaitedOutcome outcome;
    bool workerDoneAtEnd = false;
    r.driver.onEnd = [&] {
        workerDoneAtEnd = starter.done;
        starter.deviceEnded = true;
    };
    {
        TransferSession session({&r.driver, &r.clock, &starter});
        session.context.modelIndex = kQ20;
        session.context.filePath = r.dir.File("q20.vid");
        session.context.progressBar = &r.progress;
        session.context.outcomeSink = &outcome;
        ASSERT_TRUE(session.Connect());
        session.Start();
        EXPECT_EQ(outcome.Wait(), Outcome::Succeeded());
    }
    EXPECT_EQ(std::make_tuple(workerDoneAtEnd, outcome.Deliveries(), r.driver.endedHandles.size(),
                              r.driver.frees),
              std::make_tuple(true, 1u, 1u, 1));
}

}  // namespace
}  // namespace velloran::testing
