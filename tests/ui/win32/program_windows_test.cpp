// velloran.exe driven through its windows from outside, for everything short of a
// complete transfer: texts and models, the keys the main window ignores, one instance at
// a time, the ways a command stops before any transfer, and the help.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/backup_builder.h"
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
    const std::pair<int, const wchar_t*> texts[] = {
        {1003, L"機種名(&M)"},
        {1004, L"プリンターからデータを受信し、ファイルへ出力します。"},
        {1005, L"指定したファイルを読み込み、プリンターへ送信します。"},
        {1006, L"VELLORAN Ver1.20"},
        {1008, L"Copyright (C) 2026 VELLORAN developers"},
        {1002, L"受信(&R)"},
        {1001, L"送信(&S)"},
        {1, L"終了(&X)"},
        {1007, L"ヘルプ(&H)"},
    };
    for (const auto& [control, text] : texts) {
        EXPECT_EQ(ControlText(mainWindow, control), text) << control;
    }
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

// Cancel in the file dialog, No in the confirmation, then a file that is no backup: the
// send failure shows before any transfer window, and the driver library goes again.
TEST_F(ProgramTest, CancelNoAndARefusedFileRunNoTransfer) {
    Start();
    Press(IDC_RECEIVE);
    const HWND dialog = Wait(kFileDialogMark);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(mainWindow));
    PostClick(dialog, IDCANCEL);
    ASSERT_TRUE(MainWindowEnabled());
    EXPECT_FALSE(Showing(kMessageBoxMark));

    const std::string never = files.File("never.vid");
    Press(IDC_RECEIVE);
    AnswerFileDialog(never);
    const SeenBox confirmation = AnswerBox(IDNO);
    EXPECT_EQ(confirmation.text, L"プリンター側の準備はよろしいですか？");
    EXPECT_EQ(confirmation.caption, L"VELLORAN");
    EXPECT_EQ(confirmation.owner, mainWindow);
    ASSERT_TRUE(MainWindowEnabled());
    EXPECT_FALSE(Showing(kTransferWindowMark));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(never)));

    SelectModel(mainWindow, kQ10);
    const std::string refused = files.File("not-a-backup.vid");
    WriteBytes(refused, {1, 2, 3});
    Press(IDC_SEND);
    AnswerFileDialog(refused);
    AnswerBox(IDYES);
    ASSERT_NE(Wait(kMessageBoxMark), nullptr);
    EXPECT_FALSE(Showing(kTransferWindowMark));
    EXPECT_TRUE(program->HasModule(L"Hdv201.dll"));  // bound and connected before the test
    const SeenBox box = AnswerBox(IDOK);
    EXPECT_TRUE(box.text.starts_with(L"送信に失敗しました。\n・プリンター")) << Utf8(box.text);
    EXPECT_EQ(box.owner, mainWindow);
    ASSERT_TRUE(MainWindowEnabled());
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == mainWindow; }, kWindowTimeoutMs));
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
