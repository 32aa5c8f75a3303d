// The Windows front end's pieces in this process. The resources the program is linked
// with: both dialog templates read back word by word from the form the resource compiler
// writes, icon 128 and the manifest. The small translations: file dialog flags and
// filter and where a minimised window draws its icon. And the transfer
// window on a real window with a fake printer and a fake clock: it starts its job with a
// message to itself, the worker's progress and outcome reach it as messages, its one box
// has the right owner over a bar drawn where it stands, and meanwhile the session's end
// and a quit request wait.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, on which it builds.
#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>

#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/template_numbers.h"
#include "ui/main_dlg.h"
#include "ui/transfer_dlg.h"
#include "ui/win32/driving/program_driving.h"
#include "ui/win32/driving/window_probe.h"
#include "ui/win32/file_dialog.h"
#include "ui/win32/html_help_viewer.h"
#include "ui/win32/minimised_icon.h"
#include "ui/win32/transfer_window.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

using namespace velloran::driving;

// The words of dialog template `id` (RT_DIALOG, 5) of this program, in order.
struct TemplateWords {
    explicit TemplateWords(int id) {
        const HMODULE module = GetModuleHandleW(nullptr);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
        at = found ? static_cast<const WORD*>(LockResource(LoadResource(module, found))) : nullptr;
    }
    WORD Word() { return *at++; }
    int Short() { return static_cast<int16_t>(Word()); }
    DWORD Dword() {
        const DWORD low = Word();
        return low | (DWORD{Word()} << 16);
    }
    // A text, or a predefined class named by its ordinal: 0xFFFF, then 0x80 and up.
    std::wstring Text() {
        static const wchar_t* const kClasses[] = {L"Button",  L"Edit",      L"Static",
                                                  L"ListBox", L"ScrollBar", L"ComboBox"};
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) {
            if (c == 0xFFFF) {
                const WORD ordinal = Word() - 0x80;
                return ordinal < 6 ? kClasses[ordinal] : L"?";
            }
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }
    // Each control starts on a 4-byte boundary.
    void Align() { at += (reinterpret_cast<uintptr_t>(at) % 4) / 2; }

    const WORD* at = nullptr;  // null when the template is missing
};

// A control's class and its bits of kKindBits.
struct Kind {
    const wchar_t* className;
    DWORD style;
};

constexpr DWORD kKindBits = 0xFFFF | WS_TABSTOP | WS_VSCROLL | WS_BORDER | WS_CHILD | WS_VISIBLE;
constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr Kind kGroup{L"Button", kShown | BS_GROUPBOX};
constexpr Kind kText{L"Static", kShown | SS_LEFT};
constexpr Kind kCentred{L"Static", kShown | SS_LEFT | SS_CENTERIMAGE};
constexpr Kind kList{L"ComboBox", kShown | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
constexpr Kind kButton{L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP};
constexpr Kind kDefault{L"Button", kShown | BS_DEFPUSHBUTTON | WS_TABSTOP};
constexpr Kind kBar{L"msctls_progress32", kShown | WS_BORDER};

constexpr DWORD kFrameBits = WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_SYSMENU | WS_MINIMIZEBOX |
                             WS_MAXIMIZEBOX | WS_THICKFRAME;

struct DialogCase {
    const char* name;
    const TemplateNumbers* numbers;
    DWORD frame;  // its bits of kFrameBits
    DWORD exStyle;
    std::vector<Kind> kinds;
};

class DialogTemplateTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogTemplateTest, HoldsTheNumbersKindsAndFontWithEmptyTexts) {
    const DialogCase& c = GetParam();
    TemplateWords t(c.numbers->id);
    ASSERT_NE(t.at, nullptr);
    EXPECT_EQ(t.Dword() & kFrameBits, c.frame);
    EXPECT_EQ(t.Dword(), c.exStyle);
    const WORD count = t.Word();
    ASSERT_EQ(count, c.kinds.size());
    ASSERT_EQ(count, c.numbers->controls.size());
    EXPECT_EQ(t.Dword(), 0u);  // at 0, 0
    EXPECT_EQ(t.Short(), c.numbers->width);
    EXPECT_EQ(t.Short(), c.numbers->height);
    EXPECT_EQ(t.Text() + t.Text() + t.Text(), L"");  // no menu, own class or caption
    EXPECT_EQ(t.Word(), 9);
    EXPECT_EQ(t.Text(), L"ＭＳ Ｐゴシック");
    for (const ControlNumbers& n : c.numbers->controls) {
        const Kind& kind = c.kinds[static_cast<size_t>(&n - c.numbers->controls.data())];
        SCOPED_TRACE(n.id);
        t.Align();
        EXPECT_EQ(t.Dword() & kKindBits, kind.style);
        EXPECT_EQ(t.Dword(), 0u);
        // A braced list is evaluated in order: x, y, width, height.
        EXPECT_EQ((std::vector<int>{t.Short(), t.Short(), t.Short(), t.Short()}),
                  (std::vector<int>{n.x, n.y, n.width, n.height}));
        EXPECT_EQ(static_cast<int16_t>(t.Word()), n.id);
        // Class names are not case-sensitive; the resource compiler writes some upper-case.
        EXPECT_EQ(_wcsicmp(t.Text().c_str(), kind.className), 0);
        EXPECT_EQ(t.Text(), L"");
        EXPECT_EQ(t.Word(), 0);  // no creation data
    }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, DialogTemplateTest,
    ::testing::Values(
        // The main window has the close box and a place in the task bar.
        DialogCase{"Main", &kMainNumbers, WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_SYSMENU,
                   WS_EX_APPWINDOW,
                   std::vector<Kind>({kGroup, kCentred, kList, kGroup, kText, kButton, kGroup,
                                      kText, kButton, kButton, kDefault, kCentred, kCentred})},
        // The transfer window has no system menu, so nothing to close it with.
        DialogCase{"Transfer", &kTransferNumbers, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0,
                   std::vector<Kind>({kText, kBar})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IconTest, Icon128HasTheLargeAndTheSmallSize) {
    for (const int size : {16, 32, 48}) {
        const auto icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, 0));
        ICONINFO info{};
        ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << size;
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(std::pair(colour.bmWidth, colour.bmBitsPixel), std::pair(LONG{size}, WORD{32}));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(ManifestTest, AsksForCommonControls6DpiAwarenessAndSupportedSystems) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(bytes, SizeofResource(module, resource));
    for (const char* text : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             ">PerMonitorV2, System<", ">true</dpiAware>", "version=\"1.2.0.0\"",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // Windows 7
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",     // Windows 8
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",     // Windows 8.1
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // Windows 10, 11
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
    }
}

// The save and the open dialog's flags; the filter is name and pattern pairs ended by an
// empty one.
TEST(FileDialogTest, FlagsOfTheSaveAndTheOpenDialogAndTheFilter) {
    EXPECT_EQ(FileDialogFlags(ReceiveFileRequest("x.vid")), 0x6u);
    EXPECT_EQ(FileDialogFlags(SendFileRequest()), 0x1806u);
    constexpr wchar_t kFilter[] = L"vid files (*.vid)\0*.vid\0";  // and the literal's own NUL
    EXPECT_EQ(FileDialogFilter(SendFileRequest()), std::wstring(kFilter, std::size(kFilter)));
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
    const struct {
        RECT client;
        POINT origin;
    } cases[] = {
        {0, 0, 36, 36, 2, 2}, {0, 0, 37, 36, 3, 2}, {0, 0, 10, 11, -10, -10}, {5, 5, 41, 41, 2, 2}};
    for (const auto& [client, expected] : cases) {
        const POINT origin = IconOrigin(client, 32, 32);
        EXPECT_EQ(std::pair(origin.x, origin.y), std::pair(expected.x, expected.y)) << client.right;
    }
}

// Without the registry's library, hhctrl.ocx by its full path in the system folder, never
// by a plain name that the program's own folder would answer.
TEST(HelpViewerTest, LoadsTheViewerFromTheSystemFolderWhenTheRegistrysFails) {
    std::vector<std::wstring> tries;
    LoadViewerLibrary(L"D:\\reg\\hhctrl.ocx", [&](std::wstring path) {
        CharLowerW(path.data());
        tries.push_back(path);
        return HMODULE{};
    });
    EXPECT_EQ(tries, (std::vector<std::wstring>{L"d:\\reg\\hhctrl.ocx",
                                                L"c:\\windows\\system32\\hhctrl.ocx"}));
}

// A message the window's thread sent: a position or range for the bar, WM_BKUP_START, or
// the start of a dialog (the transfer window's, a box's) as {WM_INITDIALOG, 0, 0}.
using Sent = std::tuple<UINT, WPARAM, LPARAM>;
constexpr Sent kBoxStarts{WM_INITDIALOG, 0, 0};
std::vector<Sent> sentOnThread;

LRESULT CALLBACK RecordSent(int code, WPARAM wParam, LPARAM lParam) {
    const auto& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m.message == PBM_SETPOS || m.message == PBM_SETRANGE32 ||
        m.message == RegisterWindowMessageW(L"WM_BKUP_START")) {
        sentOnThread.emplace_back(m.message, m.wParam, m.lParam);
    } else if (m.message == WM_INITDIALOG) {
        sentOnThread.emplace_back(m.message, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Answers this process's message boxes with OK from a thread of its own until Stop,
// noting for each its owner and whether the transfer window showed at that moment.
struct BoxAnswerer {
    struct Box {
        HWND owner;
        bool transferWindowVisible;
    };
    std::vector<Box> Stop() {
        stop = true;
        thread.join();
        return boxes;
    }

    std::vector<Box> boxes;  // read once the thread has ended
    std::atomic<bool> stop{false};
    std::thread thread{[this] {
        while (!stop) {
            for (const HWND box : VisibleWindows(GetCurrentProcessId(), kMessageBoxMark)) {
                boxes.push_back(
                    {GetWindow(box, GW_OWNER),
                     !VisibleWindows(GetCurrentProcessId(), kTransferWindowMark).empty()});
                PostClick(box, IDOK);
                WaitUntil([box] { return !IsWindow(box); }, kWindowTimeoutMs);
            }
            Sleep(5);
        }
    }};
};

struct TransferCase {
    const char* name;
    int32_t direction;
    std::function<void(FakeDriver&, FakePrinter&)> arrange;
    bool windowShownAtBox;
    std::vector<Sent> lastSent;  // ending with the box's start
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
    // A hidden top-level window of the test's thread owns the window under test.
    const HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
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
    transfer.SetFilePath(dir.File("b.vid"));
    transfer.SetModelIndex(kQ20);
    transfer.SetDirection(c.direction);
    sentOnThread.clear();
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &RecordSent, nullptr, windowThread);
    {
        BoxAnswerer answerer;
        TransferWindow window(transfer);
        running = &window;
        window.DoModal(owner);
        boxes = answerer.Stop();
    }
    UnhookWindowsHookEx(hook);
    // The window starts its job by sending itself WM_BKUP_START, once it has connected.
    const Sent start{RegisterWindowMessageW(L"WM_BKUP_START"), 0, 0};
    EXPECT_EQ(std::count(sentOnThread.begin(), sentOnThread.end(), start), c.windowShownAtBox);
    MSG quit{};
    EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, c.windowShownAtBox);
    EXPECT_EQ(std::pair(quit.wParam, endSessionAnswer), c.windowShownAtBox
                                                            ? std::pair(WPARAM{7}, LRESULT{FALSE})
                                                            : std::pair(WPARAM{0}, LRESULT{-1}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].transferWindowVisible, c.windowShownAtBox);
    if (!c.windowShownAtBox) {
        EXPECT_EQ(boxes[0].owner, owner);
    }
    EXPECT_EQ(std::tuple(transfer.IsClosed(), driver.frees, IsWindowEnabled(owner) != 0),
              std::tuple(true, driver.loads, true));
    // The bar is drawn where it stands, without its animation, before the box appears.
    const auto box = std::find(sentOnThread.rbegin(), sentOnThread.rend(), kBoxStarts);
    ASSERT_GE(sentOnThread.rend() - box, static_cast<ptrdiff_t>(c.lastSent.size()));
    EXPECT_EQ(std::vector<Sent>(box.base() - static_cast<ptrdiff_t>(c.lastSent.size()), box.base()),
              c.lastSent);
    DestroyWindow(owner);
}

void Nothing(FakeDriver&, FakePrinter&) {}

// At the top of the range, the range is widened for the step forward.
const std::vector<Sent> kAtTop{
    {PBM_SETRANGE32, 0, 11}, {PBM_SETPOS, 11, 0}, {PBM_SETRANGE32, 0, 10}, kBoxStarts};
const std::vector<Sent> kAt3{{PBM_SETPOS, 4, 0}, {PBM_SETPOS, 3, 0}, kBoxStarts};
const std::vector<Sent> kNotShown{kBoxStarts, kBoxStarts};

INSTANTIATE_TEST_SUITE_P(
    Paths, TransferWindowTest,
    ::testing::Values(
        // Nine frames around one data frame.
        TransferCase{"CompleteSend", 1, &Nothing, true, kAtTop},
        TransferCase{"SendRefusedAtSetup", 1,
                     [](FakeDriver&, FakePrinter& printer) {
                         printer.refuse = [](uint32_t frame, const auto&) { return frame == 4; };
                     },
                     true, kAt3},
        // A failure before the job shows its box before the window is on the screen.
        TransferCase{"ReceiveWithoutLibrary", 0,
                     [](FakeDriver& driver, FakePrinter&) { driver.loadFails = true; }, false,
                     kNotShown}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
