// The transfer window on a real window with a fake printer and a fake clock: the worker's
// progress and outcome reach it as messages, the one box shows the outcome's text with
// its icon and the window closes with the device ended and the library freed.
#include <gtest/gtest.h>

#include <functional>

#include "jobs/outcome.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/ui/win32/win32_harness.h"
#include "ui/transfer_dlg.h"
#include "ui/win32/transfer_window.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

struct TransferCase {
    const char* name;
    int32_t direction;
    bool validFile;
    std::function<void(FakeDriver&, FakePrinter&)> arrange;
    Outcome outcome;
    bool windowShownAtBox;
    LRESULT barAtBox;
};

class TransferWindowTest : public ::testing::TestWithParam<TransferCase> {};

TEST_P(TransferWindowTest, ShowsOneBoxThenClosesWithTheDeviceReleased) {
    const TransferCase& test = GetParam();
    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock;
    TempDir dir;
    OwnerWindow mainWindow;
    test.arrange(driver, printer);
    const std::string path = dir.File("b.vid");
    WriteBytes(path, test.validFile ? SingleRegionFile(HeaderOf(kQ20), 0x10008000, 1, 1)
                                    : std::vector<uint8_t>{1, 2, 3});
    std::vector<BoxAnswerer::Box> boxes;
    bool closed = false;
    {
        BoxAnswerer answerer;
        CTransferDlg transfer({&driver, &clock, &SystemWorkerStarter()});
        transfer.context.filePath = path;
        transfer.context.modelIndex = kQ20;
        transfer.context.direction = test.direction;
        TransferWindow window(transfer);
        window.DoModal(mainWindow.Handle());
        closed = transfer.IsClosed();
        boxes = answerer.Boxes();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Utf16(OutcomeText(test.outcome)));
    EXPECT_EQ(boxes[0].caption, L"VELLORAN");
    EXPECT_EQ(boxes[0].transferWindowVisible, test.windowShownAtBox);
    EXPECT_EQ(boxes[0].barPosition, test.barAtBox);
    if (!test.windowShownAtBox) {
        EXPECT_EQ(boxes[0].owner, mainWindow.Handle());
    }
    EXPECT_TRUE(closed);
    EXPECT_EQ(driver.frees, driver.loads);
    EXPECT_EQ(driver.endedHandles.size(), driver.startIndices.size());
    EXPECT_TRUE(IsWindowEnabled(mainWindow.Handle()));
}

// While the job runs the window holds off the end of the session and outlives a WM_QUIT,
// which reaches the loop outside once the outcome has been shown.
TEST(TransferWindowSession, HoldsOffTheSessionEndAndOutlivesAQuitUntilTheOutcome) {
    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock;
    TempDir dir;
    OwnerWindow mainWindow;
    const std::string path = dir.File("b.vid");
    WriteBytes(path, SingleRegionFile(HeaderOf(kQ20), 0x10008000, 1, 1));
    const DWORD windowThread = GetCurrentThreadId();
    TransferWindow* running = nullptr;
    LRESULT endSessionAnswer = -1;
    printer.beforeReply = [&](uint32_t n) {
        if (n == 3) {
            PostThreadMessageW(windowThread, WM_QUIT, 7, 0);
            endSessionAnswer = SendMessageW(running->Handle(), WM_QUERYENDSESSION, 0, 0);
        }
    };
    std::vector<BoxAnswerer::Box> boxes;
    {
        BoxAnswerer answerer;
        CTransferDlg transfer({&driver, &clock, &SystemWorkerStarter()});
        transfer.context.filePath = path;
        transfer.context.modelIndex = kQ20;
        transfer.context.direction = kDirectionSend;
        TransferWindow window(transfer);
        running = &window;
        window.DoModal(mainWindow.Handle());
        boxes = answerer.Boxes();
    }
    EXPECT_EQ(endSessionAnswer, FALSE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Utf16(OutcomeText(Outcome::Succeeded())));
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

void Nothing(FakeDriver&, FakePrinter&) {}
void NoLibrary(FakeDriver& driver, FakePrinter&) {
    driver.loadFails = true;
}
void RefuseSetup(FakeDriver&, FakePrinter& printer) {
    printer.refuse = [](uint32_t frame, const std::vector<uint8_t>&) { return frame == 4; };
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TransferWindowTest,
    ::testing::Values(
        // Nine frames around one data frame.
        TransferCase{"CompleteSend", kDirectionSend, true, &Nothing, Outcome::Succeeded(), true,
                     10},
        TransferCase{"SendRefusedAtSetup", kDirectionSend, true, &RefuseSetup,
                     Outcome::Failed(119, 0x900EB), true, 3},
        // Failures before the job show their box before the window is on the screen.
        TransferCase{"ReceiveWithoutLibrary", kDirectionReceive, true, &NoLibrary,
                     Outcome::Failed(118, kNoDetail), false, -1},
        TransferCase{"RefusedFile", kDirectionSend, false, &Nothing,
                     Outcome::Failed(117, kNoDetail), false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
