// velloran.exe driven through its windows from outside: texts, models and placement, the
// keys the main window ignores, one instance at a time, the help, and a complete receive
// against the simulated printer in real time. The printer keeps its memory in a state
// file of raw image bytes (lmq20.mem): a receive gives that file's bytes. While the job
// runs, nothing the user does closes the transfer window, no transfer message from
// another program ends it, and the command line finds its printer busy.
#include <gtest/gtest.h>

#include <windows.h>

// After windows.h, on which it builds.
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "res/resource.h"
#include "tests/cli/program_run.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/template_numbers.h"
#include "ui/win32/driving/program_driving.h"
#include "ui/win32/driving/program_under_test.h"
#include "ui/win32/driving/window_probe.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

using namespace velloran::driving;

inline constexpr DWORD kExitTimeoutMs = 10000;
inline constexpr DWORD kQuietMs = 500;  // long enough for a wrongly handled input to act

// velloran.exe started by a test and driven from outside through its windows, against
// the simulated printer with a state folder of the test's own.
class ProgramTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (program != nullptr && !program->WaitForExit(0)) {
            Press(IDC_EXIT);
            EXPECT_EQ(program->WaitForExit(kExitTimeoutMs), DWORD{0});
        }
    }

    // Starts the program and waits for its main window.
    void Start(const std::string& programPath = VELLORAN_WIN32_PROGRAM) {
        program = std::make_unique<ProgramUnderTest>(
            Utf16(programPath), SimulatedPrinterEnvironment(VELLORAN_SIM_DRIVER_DIR, state.Path()));
        ASSERT_TRUE(program->Started());
        mainWindow = Wait(kMainWindowMark);
        ASSERT_NE(mainWindow, nullptr);
    }
    void Press(int button) { PostClick(mainWindow, button); }
    HWND Wait(const WindowMark& mark, DWORD timeoutMs = kWindowTimeoutMs) {
        return WaitForWindow(program->Id(), mark, timeoutMs);
    }
    bool Showing(const WindowMark& mark) { return !VisibleWindows(program->Id(), mark).empty(); }
    // Waits for a message box and answers it with `button`.
    SeenBox AnswerBox(int button, DWORD timeoutMs = kWindowTimeoutMs) {
        const std::optional<SeenBox> seen = driving::AnswerBox(program->Id(), button, timeoutMs);
        EXPECT_TRUE(seen.has_value()) << "no message box";
        return seen.value_or(SeenBox{});
    }

    TempDir state;
    TempDir files;
    std::unique_ptr<ProgramUnderTest> program;
    HWND mainWindow = nullptr;
};

HWND HelpWindowOf(DWORD processId) {
    HWND help = FindWindowW(L"HH Parent", nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(help, &owner);
    return help != nullptr && owner == processId ? help : nullptr;
}

TEST_F(ProgramTest, MainWindowShowsItsTextsAndModelsIgnoresEscapeAndF1AndEndsOnEnter) {
    Start();
    EXPECT_EQ(TextOf(mainWindow), L"VELLORAN");
    for (const auto& [id, text] : kMainTexts) {
        EXPECT_EQ(Utf8(ControlText(mainWindow, id)), text) << id;
    }
    // Template 102 sits at 0,0 and has no owner: the window opens centred on the work area.
    RECT area{}, shown{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(mainWindow, &shown);
    EXPECT_LE(std::abs(shown.left + shown.right - area.left - area.right), 1);
    EXPECT_LE(std::abs(shown.top + shown.bottom - area.top - area.bottom), 1);
    const HWND list = GetDlgItem(mainWindow, IDC_MODEL);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    for (const auto& [index, name] : {std::pair{0, L"LM-Q30"}, {1, L"LM-Q20"}, {2, L"LM-Q10"}}) {
        wchar_t item[16] = {};
        SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(std::wstring(item), name);
    }
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);

    SetForegroundWindow(mainWindow);
    for (const WPARAM key : {VK_ESCAPE, VK_F1}) {
        PostMessageW(list, WM_KEYDOWN, key, 0);
        PostMessageW(mainWindow, WM_KEYDOWN, key, 0);
    }
    Sleep(kQuietMs);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(Showing(kMessageBoxMark));
    EXPECT_EQ(HelpWindowOf(program->Id()), nullptr);
    EXPECT_FALSE(program->WaitForExit(0));
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(program->WaitForExit(kExitTimeoutMs), DWORD{0});
}

TEST_F(ProgramTest, ASecondInstanceEndsSilentlyAndLeavesTheFirstRunning) {
    Start();
    ProgramUnderTest second(Utf16(VELLORAN_WIN32_PROGRAM), {});
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), DWORD{0});
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(program->WaitForExit(0));
}

// The help beside the program, in a folder whose name no ANSI code page holds.
TEST_F(ProgramTest, HelpOpensTheViewerOnTheHelpBesideTheProgram) {
    const std::filesystem::path folder = files.Path() / L"ヘルプ\u2603\u0424";
    const std::filesystem::path built = std::filesystem::path(Utf16(VELLORAN_WIN32_PROGRAM));
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    for (const wchar_t* name : {L"velloran.exe", L"VLR120.chm"}) {
        ASSERT_TRUE(CopyFileW((built.parent_path() / name).c_str(), (folder / name).c_str(), TRUE));
    }
    Start(Utf8FromPath(folder / L"velloran.exe"));
    Press(IDC_HELP_BUTTON);
    HWND help = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (help = HelpWindowOf(program->Id())) != nullptr; },
                          kWindowTimeoutMs));
    EXPECT_FALSE(Showing(kMessageBoxMark));
    PostMessageW(help, WM_CLOSE, 0, 0);
}

// Without the help file the press says it is missing; with the mark of a download from
// the Internet (3) or Restricted sites (4) zone on it (a stream of the file on Windows;
// under Wine, which keeps no streams, a file of that name, read the same way) it says how
// to unblock it, and no viewer opens.
TEST_F(ProgramTest, WithoutTheHelpFileOrWithItBlockedThePressSaysSo) {
    const std::filesystem::path built = std::filesystem::path(Utf16(VELLORAN_WIN32_PROGRAM));
    for (const std::string mark :
         {"", "[ZoneTransfer]\r\nZoneId=3\r\n", "[ZoneTransfer]\n zoneid = 4"}) {
        TempDir folder;
        const std::filesystem::path exe = folder.Path() / L"velloran.exe";
        ASSERT_TRUE(CopyFileW(built.c_str(), exe.c_str(), TRUE));
        const bool blocked = !mark.empty();
        if (blocked) {
            CopyFileW((built.parent_path() / L"VLR120.chm").c_str(),
                      (folder.Path() / L"VLR120.chm").c_str(), TRUE);
            WriteBytes(folder.File("VLR120.chm:Zone.Identifier"), {mark.begin(), mark.end()});
        }
        Start(Utf8FromPath(exe));
        Press(IDC_HELP_BUTTON);
        const SeenBox box = AnswerBox(IDOK);
        EXPECT_EQ(std::tuple(box.text, box.caption, box.owner, HelpWindowOf(program->Id())),
                  std::tuple(blocked ? L"ヘルプファイルがWindowsによってブロックされています。\n"
                                       L"VLR120.chm のプロパティを開き、[全般] の「許可する」"
                                       L"(ブロックの解除) にチェックを入れてから、"
                                       L"もう一度やり直してください。"
                                     : L"ヘルプが見つかりません。",
                             L"VELLORAN", mainWindow, HWND{}));
        TearDown();
    }
}

constexpr uint32_t kImageLength = 0x28000;
constexpr LRESULT kReceiveRange = 20482;  // 0x28000 / 8 + 2
constexpr DWORD kTransferTimeoutMs = 360000;

LRESULT BarPosition(HWND transfer) {
    return SendDlgItemMessageW(transfer, IDC_PROGRESS, PBM_GETPOS, 0, 0);
}

using ProgramTransferTest = ProgramTest;

TEST_F(ProgramTransferTest, ReceiveWritesThePrintersMemoryUnderTheProposedName) {
    const std::vector<uint8_t> backup =
        SingleRegionFile(HeaderOf(kQ20), 0x10008000, kImageLength, kImageLength, 3);
    WriteBytes(state.File("lmq20.mem"), std::vector<uint8_t>(backup.begin() + 16, backup.end()));
    const std::string received = files.File("received.vid");
    Start();
    SelectModel(mainWindow, kQ20);
    Press(IDC_RECEIVE);
    // The save dialog proposes lmq20_YYMMDD.vid among the backup files.
    const HWND dialog = Wait(kFileDialogMark);
    std::wstring name;
    WaitUntil([&] { return !(name = ControlText(dialog, kFileDialogMark.controlId)).empty(); },
              kWindowTimeoutMs);
    EXPECT_TRUE(name.starts_with(L"lmq20_") && name.ends_with(L".vid") && name.size() == 16)
        << Utf8(name);
    EXPECT_EQ(ControlText(dialog, kFileTypeBoxId), L"vid files (*.vid)");
    EXPECT_TRUE(AnswerFileDialog(program->Id(), received)) << "no file dialog";
    EXPECT_EQ(AnswerBox(IDYES).text, L"プリンター側の準備はよろしいですか？");
    const HWND transfer = Wait(kTransferWindowMark);
    ASSERT_NE(transfer, nullptr);

    // The running window: caption, status line, no close box, centred over the disabled
    // main window, the bar's range set, the driver library loaded.
    EXPECT_EQ(TextOf(transfer), L"VELLORAN");
    EXPECT_EQ(ControlText(transfer, IDC_STATUS), L"データを受信中です。");
    EXPECT_EQ(GetWindowLongW(transfer, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(GetWindow(transfer, GW_OWNER), mainWindow);
    RECT over{}, under{};
    GetWindowRect(transfer, &over);
    GetWindowRect(mainWindow, &under);
    EXPECT_LE(std::abs(over.left + over.right - under.left - under.right), 1);
    EXPECT_LE(std::abs(over.top + over.bottom - under.top - under.bottom), 1);
    EXPECT_FALSE(IsWindowEnabled(mainWindow));
    EXPECT_EQ(SendDlgItemMessageW(transfer, IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), kReceiveRange);
    EXPECT_TRUE(program->HasModule(L"Hdv305.dll"));

    // Enter, Escape, F1, Alt+F4 and close requests: the window stays and the job goes on.
    for (const HWND target : {transfer, GetDlgItem(transfer, IDC_STATUS)}) {
        for (const WPARAM key : {VK_RETURN, VK_ESCAPE, VK_F1}) {
            PostMessageW(target, WM_KEYDOWN, key, 0);
        }
    }
    PostMessageW(transfer, WM_SYSKEYDOWN, VK_F4, 1 << 29);  // with Alt held
    PostMessageW(transfer, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(transfer, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);  // the system's own low bits
    PostMessageW(transfer, WM_CLOSE, 0, 0);
    // The transfer messages are registered system-wide: sent from another program, they
    // start no second job and end nothing.
    for (const wchar_t* name : {L"WM_BKUP_START", L"WM_BKUP_SUCCESS", L"WM_BKUP_ERROR"}) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(transfer, RegisterWindowMessageW(name), 118, 0, SMTO_ABORTIFHUNG,
                            kWindowTimeoutMs, &ignored);
    }
    // The command line finds the printer busy: refused at once, nothing written.
    const ProgramResult cli =
        RunProgram(VELLORAN_CLI_PROGRAM, {"receive", "LM-Q20", "cli.vid"},
                   {{kLibrarySearchVariable, VELLORAN_SIM_DRIVER_DIR}}, files.Path(), state.Path());
    EXPECT_EQ(std::tie(cli.exitStatus, cli.err),
              std::tuple(1,
                         "プリンターは他の転送で使用中です。しばらくしてからもう一度やり直して"
                         "ください。\n"));
    EXPECT_FALSE(std::filesystem::exists(files.Path() / "cli.vid"));
    const LRESULT before = BarPosition(transfer);
    Sleep(kQuietMs);
    EXPECT_TRUE(IsWindowVisible(transfer));
    EXPECT_GT(BarPosition(transfer), before);
    EXPECT_FALSE(Showing(kMessageBoxMark));

    // The one outcome box, over the window with its bar full; then the window goes, the
    // library is freed and the main window is back with its model.
    ASSERT_NE(Wait(kMessageBoxMark, kTransferTimeoutMs), nullptr);
    EXPECT_TRUE(IsWindowVisible(transfer));
    EXPECT_EQ(BarPosition(transfer), kReceiveRange);
    const SeenBox outcome = AnswerBox(IDOK);
    EXPECT_EQ(std::tuple(outcome.text, outcome.caption, outcome.owner),
              std::tuple(L"データの転送が正常に終了しました。", L"VELLORAN", transfer));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(transfer); }, kWindowTimeoutMs));
    EXPECT_FALSE(Showing(kMessageBoxMark));
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == mainWindow; }, kWindowTimeoutMs));
    EXPECT_FALSE(program->HasModule(L"Hdv305.dll"));
    EXPECT_EQ(SendDlgItemMessageW(mainWindow, IDC_MODEL, CB_GETCURSEL, 0, 0), kQ20);

    const std::vector<uint8_t> bytes = ReadBytes(received);
    ASSERT_EQ(bytes.size(), 16 + kImageLength);
    EXPECT_TRUE(bytes == backup);
}

}  // namespace
}  // namespace velloran::testing
