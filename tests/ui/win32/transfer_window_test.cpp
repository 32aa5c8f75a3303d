// The transfer window on a real window with a fake printer and a fake clock: the worker's
// progress and outcome reach it as messages, the one box shows the outcome's text and the
// window closes with the device ended and the library freed.
#include <gtest/gtest.h>

#include <functional>

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
    std::function<void(FakeDriver&, FakePrinter&)> arrange;
    const wchar_t* textStart;
    const wchar_t* textEnd;
    bool windowShownAtBox;
    LRESULT barAtBox;
};

class TransferWindowTest : public ::testing::TestWithParam<TransferCase> {};

// While the job runs the window also holds off the end of the session and outlives a
// WM_QUIT, which reaches the loop outside once the outcome has been shown.
TEST_P(TransferWindowTest, ShowsOneBoxThenClosesWithTheDeviceReleased) {
    const TransferCase& c = GetParam();
    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock;
    TempDir dir;
    OwnerWindow owner;
    const DWORD windowThread = GetCurrentThreadId();
    LRESULT endSessionAnswer = -1;
    TransferWindow* running = nullptr;
    printer.beforeReply = [&](uint32_t n) {
        if (n == 3) {
            PostThreadMessageW(windowThread, WM_QUIT, 7, 0);
            endSessionAnswer = SendMessageW(running->Handle(), WM_QUERYENDSESSION, 0, 0);
        }
    };
    c.arrange(driver, printer);
    // One transfer window for LM-Q20, run to its end with every box answered.
    WriteBytes(dir.File("b.vid"), SingleRegionFile(HeaderOf(kQ20), 0x10008000, 1, 1));
    std::vector<BoxAnswerer::Box> boxes;
    CTransferDlg transfer({&driver, &clock, &SystemWorkerStarter()});
    transfer.context.filePath = dir.File("b.vid");
    transfer.context.modelIndex = kQ20;
    transfer.context.direction = c.direction;
    {
        BoxAnswerer answerer;
        TransferWindow window(transfer);
        running = &window;
        window.DoModal(owner.handle);
        boxes = answerer.Boxes();
    }
    MSG quit{};
    EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, c.windowShownAtBox);
    EXPECT_EQ(std::pair(quit.wParam, endSessionAnswer), c.windowShownAtBox
                                                            ? std::pair(WPARAM{7}, LRESULT{FALSE})
                                                            : std::pair(WPARAM{0}, LRESULT{-1}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.starts_with(c.textStart)) << Utf8(boxes[0].text);
    EXPECT_TRUE(boxes[0].text.ends_with(c.textEnd)) << Utf8(boxes[0].text);
    EXPECT_EQ(std::tuple(boxes[0].caption, boxes[0].transferWindowVisible, boxes[0].barPosition),
              std::tuple(L"VELLORAN", c.windowShownAtBox, c.barAtBox));
    if (!c.windowShownAtBox) {
        EXPECT_EQ(boxes[0].owner, owner.handle);
    }
    EXPECT_TRUE(transfer.IsClosed());
    EXPECT_EQ(std::pair(driver.frees, driver.endedHandles.size()),
              std::pair(driver.loads, driver.startIndices.size()));
    EXPECT_TRUE(IsWindowEnabled(owner.handle));
}

void Nothing(FakeDriver&, FakePrinter&) {}

INSTANTIATE_TEST_SUITE_P(
    Paths, TransferWindowTest,
    ::testing::Values(
        // Nine frames around one data frame.
        TransferCase{"CompleteSend", 1, &Nothing, L"データの転送が正常に終了しました。",
                     L"終了しました。", true, 10},
        TransferCase{"SendRefusedAtSetup", 1,
                     [](FakeDriver&, FakePrinter& printer) {
                         printer.refuse = [](uint32_t frame, const auto&) { return frame == 4; };
                     },
                     L"送信に失敗しました。\n転送中に中断され", L"ください。 (0xeb 0x09)", true, 3},
        // A failure before the job shows its box before the window is on the screen.
        TransferCase{"ReceiveWithoutLibrary", 0,
                     [](FakeDriver& driver, FakePrinter&) { driver.loadFails = true; },
                     L"受信に失敗しました。\n・プリンター", L"ください。", false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
