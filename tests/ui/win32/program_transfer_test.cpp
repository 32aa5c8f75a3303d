// A complete receive through velloran.exe's windows against the simulated printer, in
// real time. The printer keeps its memory in a state file of raw image bytes
// (lmq20.mem): a receive gives that file's bytes. While the job runs, nothing the user
// does closes the transfer window.
#include <gtest/gtest.h>

#include <windows.h>
#include <cstdlib>

// After windows.h, on which it builds.
#include <commctrl.h>

#include <functional>

#include "jobs/string_table.h"
#include "tests/support/backup_builder.h"
#include "tests/ui/win32/table_text.h"
#include "tests/ui/win32/win32_harness.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kImageLength = 0x28000;
constexpr LRESULT kReceiveRange = 20482;  // 0x28000 / 8 + 2
constexpr size_t kDataOffset = 16;
constexpr DWORD kTransferTimeoutMs = 240000;
const char kMemoryFile[] = "lmq20.mem";

LRESULT BarPosition(HWND transfer) {
    return SendDlgItemMessageW(transfer, IDC_PROGRESS, PBM_GETPOS, 0, 0);
}

std::vector<uint8_t> Image(uint32_t seed) {
    std::vector<uint8_t> image(kImageLength);
    for (uint32_t i = 0; i < kImageLength; ++i) {
        image[i] = PatternByte(i, seed);
    }
    return image;
}

class ProgramTransferTest : public ProgramTest {
  protected:
    // Presses `button` with LM-Q20 chosen, answers the file dialog with `path` and the
    // confirmation with Yes; returns the transfer window. `inspect` looks at the file
    // dialog before it is answered.
    HWND StartTransfer(
        int button, const std::string& path, const std::function<void()>& inspect = [] {}) {
        Start();
        SelectModel(mainWindow, kQ20);
        Press(button);
        inspect();
        AnswerFileDialog(path);
        EXPECT_EQ(AnswerBox(IDYES).text, TableText(IDS_CONFIRM_READY));
        return Wait(kTransferWindowMark);
    }

    // Enter, Escape, F1, Alt+F4 and close requests, while the job runs: the window stays
    // and the job goes on.
    void ExpectInputIgnored(HWND transfer) {
        const HWND status = GetDlgItem(transfer, IDC_STATUS);
        for (const HWND target : {transfer, status}) {
            for (const WPARAM key : {VK_RETURN, VK_ESCAPE, VK_F1}) {
                PostMessageW(target, WM_KEYDOWN, key, 0);
            }
        }
        PostMessageW(transfer, WM_SYSKEYDOWN, VK_F4, 1 << 29);  // with Alt held
        PostMessageW(transfer, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessageW(transfer, WM_CLOSE, 0, 0);
        const LRESULT before = BarPosition(transfer);
        Sleep(kQuietMs);
        EXPECT_TRUE(IsWindowVisible(transfer));
        EXPECT_GT(BarPosition(transfer), before);
        EXPECT_FALSE(Showing(kMessageBoxMark));
    }

    // Waits for the one outcome box: success, with the window still up and its bar full.
    // Answers it, then expects the window gone and the driver library freed.
    void ExpectSuccessThenClosed(HWND transfer, LRESULT range) {
        const HWND box = Wait(kMessageBoxMark, kTransferTimeoutMs);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(IsWindowVisible(transfer));
        EXPECT_EQ(BarPosition(transfer), range);
        EXPECT_EQ(GetWindow(box, GW_OWNER), transfer);
        const SeenBox outcome = AnswerBox(IDOK);
        EXPECT_EQ(outcome.text, TableText(IDS_TRANSFER_DONE));
        EXPECT_EQ(outcome.caption, L"VELLORAN");
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(transfer); }, kWindowTimeoutMs));
        EXPECT_FALSE(Showing(kMessageBoxMark));
        EXPECT_TRUE(IsWindowEnabled(mainWindow));
        EXPECT_TRUE(
            WaitUntil([&] { return GetForegroundWindow() == mainWindow; }, kWindowTimeoutMs));
        EXPECT_FALSE(program->HasModule(L"Hdv305.dll"));
        EXPECT_EQ(SendDlgItemMessageW(mainWindow, IDC_MODEL, CB_GETCURSEL, 0, 0), kQ20);
    }

    // The window as a transfer shows it while its job runs.
    void ExpectRunningWindow(HWND transfer, uint32_t status, LRESULT range) {
        EXPECT_EQ(TextOf(transfer), L"VELLORAN");
        EXPECT_EQ(ControlText(transfer, IDC_STATUS), TableText(status));
        EXPECT_EQ(GetWindowLongW(transfer, GWL_STYLE) & WS_SYSMENU, 0);
        EXPECT_EQ(GetWindow(transfer, GW_OWNER), mainWindow);
        RECT over{}, under{};  // centred over the main window
        GetWindowRect(transfer, &over);
        GetWindowRect(mainWindow, &under);
        EXPECT_LE(std::abs(over.left + over.right - under.left - under.right), 1);
        EXPECT_LE(std::abs(over.top + over.bottom - under.top - under.bottom), 1);
        EXPECT_FALSE(IsWindowEnabled(mainWindow));
        EXPECT_EQ(SendDlgItemMessageW(transfer, IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), range);
        EXPECT_TRUE(program->HasModule(L"Hdv305.dll"));
    }
};

TEST_F(ProgramTransferTest, ReceiveWritesThePrintersMemoryUnderTheProposedName) {
    const std::vector<uint8_t> memory = Image(3);
    WriteBytes(state.File(kMemoryFile), memory);
    const std::string received = files.File("received.vid");
    const HWND transfer = StartTransfer(IDC_RECEIVE, received, [this] {
        const HWND dialog = Wait(kFileDialogMark);
        std::wstring name;
        WaitUntil([&] { return !(name = ControlText(dialog, kFileDialogMark.controlId)).empty(); },
                  kWindowTimeoutMs);
        EXPECT_TRUE(name.starts_with(L"lmq20_") && name.ends_with(L".vid") && name.size() == 16)
            << Utf8(name);
        EXPECT_EQ(ControlText(dialog, kFileTypeBoxId), L"vid files (*.vid)");
    });
    ASSERT_NE(transfer, nullptr);
    ExpectRunningWindow(transfer, IDS_RECEIVING, kReceiveRange);
    ExpectInputIgnored(transfer);
    ExpectSuccessThenClosed(transfer, kReceiveRange);

    const std::vector<uint8_t> bytes = ReadBytes(received);
    ASSERT_EQ(bytes.size(), kDataOffset + kImageLength);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), HeaderOf(kQ20));
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), bytes.begin() + kDataOffset));
}

}  // namespace
}  // namespace velloran::testing
