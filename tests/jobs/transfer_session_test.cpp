#include "jobs/transfer_session.h"

#include <gtest/gtest.h>

#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/recording_sinks.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

struct ConnectCase {
    const char* name;
    bool loadFails;
    int32_t activeIndex;
    int32_t direction;
    uint32_t outcomeId;
};

class RunTransferConnect : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(RunTransferConnect, ReportsAFailedBindOrConnectWithoutAThread) {
    const ConnectCase& c = GetParam();
    FakeDriver driver;
    driver.loadFails = c.loadFails;
    driver.activeIndex = c.activeIndex;
    FakeClock clock;
    RecordingProgress progress;
    TempDir dir;
    int starts = 0;
    struct CountingStarter final : WorkerStarter {
        int* starts;
        std::optional<std::thread> Start(std::function<void()>) override {
            ++*starts;
            return std::nullopt;
        }
    } starter;
    starter.starts = &starts;
    const Outcome outcome =
        RunTransfer({1, c.direction, dir.File("x.vid")}, progress, {&driver, &clock, &starter});
    EXPECT_EQ(outcome, Outcome::Failed(c.outcomeId, 0));
    EXPECT_EQ(starts, 0);
    EXPECT_TRUE(progress.Calls().empty());
    EXPECT_EQ(driver.frees, driver.loads);
}

INSTANTIATE_TEST_SUITE_P(Failures, RunTransferConnect,
                         ::testing::Values(ConnectCase{"SendNoLibrary", true, 0, 1, 117},
                                           ConnectCase{"ReceiveNoLibrary", true, 0, 0, 118},
                                           ConnectCase{"SendNoPrinter", false, -1, 1, 117},
                                           ConnectCase{"ReceiveNoPrinter", false, -1, 0, 118}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunTransfer, EndsTheDeviceAndFreesTheLibraryAfterTheOutcome) {
    FakeDriver driver;
    FakePrinter printer(driver);
    FakeClock clock;
    RecordingProgress progress;
    TempDir dir;
    const Outcome outcome = RunTransfer({0, 0, dir.File("q30.vid")}, progress, {&driver, &clock});
    EXPECT_EQ(outcome, Outcome::Succeeded());
    EXPECT_EQ(driver.endedHandles.size(), 1u);
    EXPECT_EQ(driver.loads, 1);
    EXPECT_EQ(driver.frees, 1);
    EXPECT_EQ(ReadBytes(dir.File("q30.vid")).size(), 186432u);
}

// Release ends the device and frees the library once however often it is called, and
// the destructor joins the worker.
TEST(TransferSession, ClosesItselfInOrderWhenDestroyed) {
    FakeDriver driver;
    FakePrinter printer(driver);
    FakeClock clock;
    RecordingProgress progress;
    AwaitedOutcome outcome;
    TempDir dir;
    {
        TransferSession session({&driver, &clock});
        session.context.modelIndex = kQ20;
        session.context.filePath = dir.File("q20.vid");
        session.context.progressBar = &progress;
        session.context.outcomeSink = &outcome;
        ASSERT_TRUE(session.Connect());
        session.Start();
        EXPECT_EQ(outcome.Wait(), Outcome::Succeeded());
        session.Release();
        session.Release();
        EXPECT_EQ(driver.frees, 1);
    }
    EXPECT_EQ(outcome.Deliveries(), 1u);
    EXPECT_EQ(driver.endedHandles.size(), 1u);
    EXPECT_EQ(driver.frees, 1);
}

}  // namespace
}  // namespace velloran::testing
