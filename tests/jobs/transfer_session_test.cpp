#include "jobs/transfer_session.h"

#include <gtest/gtest.h>

#include <atomic>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/job_fixture.h"
#include "tests/support/recording_sinks.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

struct SessionRig {
    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock;
    RecordingProgress progress;
    TempDir dir;
};

// A failed bind or connect is outcome 117 for a send, 118 for a receive: no thread, no
// bar, and a loaded library freed.
TEST(RunTransfer, FailedBindOrConnectReportsWithoutAThread) {
    const struct {
        bool loadFails;
        int32_t activeIndex, direction;
        uint32_t outcomeId;
    } cases[] = {{true, 0, 1, 117}, {true, 0, 0, 118}, {false, -1, 1, 117}, {false, -1, 0, 118}};
    for (const auto& c : cases) {
        SessionRig r;
        r.driver.loadFails = c.loadFails;
        r.driver.activeIndex = c.activeIndex;
        TestStarter starter(TestStarter::kRefusing);
        EXPECT_EQ(RunTransfer({1, c.direction, r.dir.File("x.vid")}, r.progress,
                              {&r.driver, &r.clock, &starter}),
                  Outcome::Failed(c.outcomeId, 0));
        EXPECT_EQ(starter.starts, 0);
        EXPECT_TRUE(r.progress.Calls().empty());
        EXPECT_EQ(r.driver.frees, r.driver.loads);
    }
}

// RunTransfer releases the session, and its destructor again: the device is ended and the
// library freed once.
TEST(RunTransfer, EndsTheDeviceAndFreesTheLibraryOnceAfterTheOutcome) {
    SessionRig r;
    EXPECT_EQ(RunTransfer({0, 0, r.dir.File("q30.vid")}, r.progress, {&r.driver, &r.clock}),
              Outcome::Succeeded());
    EXPECT_EQ(r.driver.endedHandles.size(), 1u);
    EXPECT_EQ(r.driver.loads, 1);
    EXPECT_EQ(r.driver.frees, 1);
    EXPECT_EQ(ReadBytes(r.dir.File("q30.vid")).size(), 186432u);
}

// The destructor joins the worker before it ends the device and frees the library.
TEST(TransferSession, DestructorJoinsTheWorkerBeforeItEndsTheDevice) {
    SessionRig r;
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
    EXPECT_TRUE(workerDoneAtEnd);
    EXPECT_EQ(outcome.Deliveries(), 1u);
    EXPECT_EQ(r.driver.endedHandles.size(), 1u);
    EXPECT_EQ(r.driver.frees, 1);
}

}  // namespace
}  // namespace velloran::testing
