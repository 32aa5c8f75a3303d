#include "tests/ui/win32/win32_harness.h"

#include <commctrl.h>

#include <optional>

#include "res/resource.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {

void ProgramTest::TearDown() {
    if (program == nullptr || program->WaitForExit(0)) {
        return;
    }
    Press(IDC_EXIT);
    EXPECT_EQ(program->WaitForExit(kExitTimeoutMs), DWORD{0});
}

void ProgramTest::Start(const std::string& programPath) {
    program = std::make_unique<ProgramUnderTest>(
        Utf16(programPath), SimulatedPrinterEnvironment(VELLORAN_SIM_DRIVER_DIR, state.Path()));
    ASSERT_TRUE(program->Started());
    mainWindow = Wait(kMainWindowMark);
    ASSERT_NE(mainWindow, nullptr);
}

SeenBox ProgramTest::AnswerBox(int button, DWORD timeoutMs) {
    const std::optional<SeenBox> seen = driving::AnswerBox(program->Id(), button, timeoutMs);
    EXPECT_TRUE(seen.has_value()) << "no message box";
    return seen.value_or(SeenBox{});
}

void BoxAnswerer::Run() {
    constexpr DWORD kPollMs = 5;
    while (!stop_) {
        for (const HWND box : VisibleWindows(GetCurrentProcessId(), kMessageBoxMark)) {
            const std::vector<HWND> transfer =
                VisibleWindows(GetCurrentProcessId(), kTransferWindowMark);
            const LRESULT position =
                transfer.empty()
                    ? -1
                    : SendMessageW(GetDlgItem(transfer.front(), IDC_PROGRESS), PBM_GETPOS, 0, 0);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back({ControlText(box, kMessageBoxTextId), TextOf(box),
                                  GetWindow(box, GW_OWNER), !transfer.empty(), position});
            }
            PostClick(box, IDOK);
            WaitUntil([box] { return !IsWindow(box); }, kWindowTimeoutMs);
        }
        Sleep(kPollMs);
    }
}

}  // namespace velloran::testing
