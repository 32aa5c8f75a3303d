// velloran.exe driven through its windows from outside, for everything short of a
// transfer: texts, models and placement, the keys the main window ignores, one instance
// at a time, and the help.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/ui/win32/win32_harness.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

HWND HelpWindowOf(DWORD processId) {
    HWND help = FindWindowW(L"HH Parent", nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(help, &owner);
    return help != nullptr && owner == processId ? help : nullptr;
}

TEST_F(ProgramTest, MainWindowShowsItsTextsAndModelsIgnoresEscapeAndF1AndEndsOnEnter) {
    Start();
    EXPECT_EQ(TextOf(mainWindow), L"VELLORAN");
    EXPECT_EQ(ControlText(mainWindow, IDC_RECEIVE_TEXT),
              L"プリンターからデータを受信し、ファイルへ出力します。");
    EXPECT_EQ(ControlText(mainWindow, IDC_EXIT), L"終了(&X)");
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

TEST_F(ProgramTest, WithoutTheHelpFileThePressSaysItIsMissing) {
    const std::filesystem::path alone = files.Path() / L"velloran.exe";
    ASSERT_TRUE(CopyFileW(Utf16(VELLORAN_WIN32_PROGRAM).c_str(), alone.c_str(), TRUE));
    Start(Utf8FromPath(alone));
    Press(IDC_HELP_BUTTON);
    const SeenBox box = AnswerBox(IDOK);
    EXPECT_EQ(box.text, L"ヘルプが見つかりません。");
    EXPECT_EQ(box.caption, L"VELLORAN");
    EXPECT_EQ(box.owner, mainWindow);
}

}  // namespace
}  // namespace velloran::testing
