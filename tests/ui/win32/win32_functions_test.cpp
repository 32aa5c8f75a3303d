// The Windows front end's small translations: file dialog flags and filter, where a
// minimised window draws its icon, UTF-8 and UTF-16, and the single-instance mutex.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, on which it builds.
#include <commdlg.h>

#include <cwchar>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "ui/main_dlg.h"
#include "ui/win32/file_dialog.h"
#include "ui/win32/minimised_icon.h"
#include "ui/win32/mutex_instance_lock.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

TEST(FileDialogTest, FlagsOfTheSaveAndTheOpenDialog) {
    EXPECT_EQ(FileDialogFlags(ReceiveFileRequest("x.vid")), 0x6u);
    EXPECT_EQ(FileDialogFlags(SendFileRequest()), 0x1806u);
}

TEST(FileDialogTest, FilterIsNamePatternPairsEndedByAnEmptyOne) {
    constexpr wchar_t kFilter[] = L"vid files (*.vid)\0*.vid\0";  // and the literal's own NUL
    const std::wstring expected(kFilter, std::size(kFilter));
    EXPECT_EQ(FileDialogFilter(SendFileRequest()), expected);
}

// A dialog leaves the current folder where the user browsed; AskFile puts it back, chosen
// or cancelled, so that a USB stick browsed to is not held in use.
TEST(FileDialogTest, CurrentFolderIsTheSameAfterTheDialog) {
    TempDir browsed;
    const std::filesystem::path before = std::filesystem::current_path();
    for (const bool choose : {true, false}) {
        const auto dialog = [&](FileDialogKind, OPENFILENAMEW& d) {
            SetCurrentDirectoryW(browsed.Path().wstring().c_str());
            wcscpy(d.lpstrFile, L"E:\\b.vid");
            return choose;
        };
        const auto chosen = AskFile(nullptr, SendFileRequest(), dialog);
        EXPECT_EQ(chosen, choose ? std::optional<std::string>("E:\\b.vid") : std::nullopt);
        EXPECT_EQ(std::filesystem::current_path(), before);
    }
}

// Centred, halves rounded up, the division truncating toward zero: for a client smaller
// than the icon (10 - 32 + 1) / 2 is -10, not -11.
TEST(IconOriginTest, CentresTheIconInTheClient) {
    const std::pair<RECT, POINT> cases[] = {{{0, 0, 36, 36}, {2, 2}},
                                            {{0, 0, 37, 36}, {3, 2}},
                                            {{0, 0, 32, 32}, {0, 0}},
                                            {{0, 0, 10, 11}, {-10, -10}},
                                            {{5, 5, 41, 41}, {2, 2}}};
    for (const auto& [client, expected] : cases) {
        const POINT origin = IconOrigin(client, 32, 32);
        EXPECT_EQ(origin.x, expected.x) << client.right;
        EXPECT_EQ(origin.y, expected.y) << client.bottom;
    }
}

TEST(Utf8TextTest, RoundTripsJapaneseAndKeepsEmptyEmpty) {
    const std::string japanese = "データを受信中です。";
    EXPECT_EQ(Utf16(japanese), L"データを受信中です。");
    EXPECT_EQ(Utf8(Utf16(japanese)), japanese);
    EXPECT_EQ(Utf8(L""), "");
    EXPECT_EQ(Utf16(""), L"");
    EXPECT_EQ(Utf16("\xff\xfe"), L"");  // not UTF-8
}

TEST(MutexInstanceLockTest, OneHolderAtATimeAndFreeAgainAfterRelease) {
    const std::string name = "velloran-test-" + std::to_string(GetCurrentProcessId());
    MutexInstanceLock first;
    MutexInstanceLock second;
    ASSERT_TRUE(first.TryAcquire(name));
    EXPECT_FALSE(second.TryAcquire(name));
    EXPECT_TRUE(second.TryAcquire(name + "-other"));
    first.Release();
    second.Release();
    EXPECT_TRUE(second.TryAcquire(name));
    EXPECT_FALSE(first.TryAcquire(""));
}

}  // namespace
}  // namespace velloran::testing
