// velloran.exe driven through its windows from outside, for everything short of a
// complete transfer: texts and models, the keys the main window ignores, one instance at
// a time, the ways a command stops before any transfer, a refused file, and the help.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/model_catalogue.h"
#include "jobs/string_table.h"
#include "tests/support/backup_builder.h"
#include "tests/ui/win32/table_text.h"
#include "tests/ui/win32/win32_harness.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

constexpr wchar_t kHelpWindowClass[] = L"HH Parent";

std::wstring ListItem(HWND list, int index) {
    const auto length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(length));
    return item;
}

HWND HelpWindowOf(DWORD processId) {
    HWND help = FindWindowW(kHelpWindowClass, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(help, &owner);
    return help != nullptr && owner == processId ? help : nullptr;
}

TEST_F(ProgramTest, MainWindowShowsTheStringTableTheModelsAndItsFrame) {
    Start();
    EXPECT_EQ(TextOf(mainWindow), L"VELLORAN");
    const std::pair<int, uint32_t> texts[] = {
        {IDC_MODEL_LABEL, IDS_MODEL_LABEL}, {IDC_RECEIVE_TEXT, IDS_RECEIVE_TEXT},
        {IDC_RECEIVE, IDS_RECEIVE_BUTTON},  {IDC_SEND_TEXT, IDS_SEND_TEXT},
        {IDC_SEND, IDS_SEND_BUTTON},        {IDC_EXIT, IDS_EXIT_BUTTON},
        {IDC_HELP_BUTTON, IDS_HELP_BUTTON}, {IDC_VERSION, IDS_VERSION_LINE},
        {IDC_COPYRIGHT, IDS_COPYRIGHT},
    };
    for (const auto& [control, text] : texts) {
        EXPECT_EQ(ControlText(mainWindow, control), TableText(text)) << control;
    }
    EXPECT_EQ(ControlText(mainWindow, IDC_RECEIVE), L"受信(&R)");

    const HWND list = GetDlgItem(mainWindow, IDC_MODEL);
    const std::vector<std::string> names = DisplayNames();
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(ListItem(list, static_cast<int>(i)), Utf16(names[i]));
    }
    EXPECT_EQ(ListItem(list, 0), L"LM-Q30");
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);

    const LONG style = GetWindowLongW(mainWindow, GWL_STYLE);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

TEST_F(ProgramTest, EscapeAndF1DoNothingAndEnterPressesExit) {
    Start();
    const HWND list = GetDlgItem(mainWindow, IDC_MODEL);
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

TEST_F(ProgramTest, CancelInTheFileDialogOrNoInTheConfirmationRunsNoTransfer) {
    Start();
    Press(IDC_RECEIVE);
    const HWND dialog = Wait(kFileDialogMark);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(mainWindow));
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(mainWindow) != 0; }, kWindowTimeoutMs));
    EXPECT_FALSE(Showing(kMessageBoxMark));

    const std::string path = files.File("never.vid");
    Press(IDC_RECEIVE);
    AnswerFileDialog(path);
    const SeenBox confirmation = AnswerBox(IDNO);
    EXPECT_EQ(confirmation.text, L"プリンター側の準備はよろしいですか？");
    EXPECT_EQ(confirmation.caption, L"VELLORAN");
    EXPECT_EQ(confirmation.owner, mainWindow);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(mainWindow) != 0; }, kWindowTimeoutMs));
    EXPECT_FALSE(Showing(kTransferWindowMark));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(path)));
}

TEST_F(ProgramTest, ARefusedFileShowsTheSendFailureBeforeAnyTransferWindow) {
    Start();
    SelectModel(mainWindow, kQ10);
    const std::string path = files.File("not-a-backup.vid");
    WriteBytes(path, {1, 2, 3});
    Press(IDC_SEND);
    AnswerFileDialog(path);
    EXPECT_EQ(AnswerBox(IDYES).text, TableText(IDS_CONFIRM_READY));

    const HWND failure = Wait(kMessageBoxMark);
    ASSERT_NE(failure, nullptr);
    EXPECT_FALSE(Showing(kTransferWindowMark));
    EXPECT_TRUE(program->HasModule(L"Hdv201.dll"));  // bound and connected before the test
    const SeenBox box = AnswerBox(IDOK);
    EXPECT_EQ(box.text, TableText(IDS_SEND_FAILED));
    EXPECT_EQ(box.caption, L"VELLORAN");
    EXPECT_EQ(box.owner, mainWindow);

    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(mainWindow) != 0; }, kWindowTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == mainWindow; }, kWindowTimeoutMs));
    EXPECT_FALSE(Showing(kMessageBoxMark));
    EXPECT_FALSE(program->HasModule(L"Hdv201.dll"));
    EXPECT_EQ(SendDlgItemMessageW(mainWindow, IDC_MODEL, CB_GETCURSEL, 0, 0), kQ10);
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
