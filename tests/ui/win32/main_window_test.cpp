// The main window in this process, where its icon handles can be compared: icon 128 as
// the large and the small icon, and as the icon dragged while minimised.
#include <gtest/gtest.h>

#include <thread>

#include "res/resource.h"
#include "tests/ui/win32/window_probe.h"
#include "ui/win32/main_window.h"

namespace velloran::testing {
namespace {

constexpr DWORD kTimeoutMs = 10000;

class NoHelp final : public HelpViewer {
  public:
    bool DisplayContents(const std::string&) override { return true; }
};

TEST(MainWindowTest, CarriesIcon128AsLargeSmallAndDragIcon) {
    NoHelp viewer;
    HelpLauncher help(viewer, [] { return std::string(); });
    MainWindow window(help);
    LRESULT big = 0, small = 0, drag = 0;
    std::thread user([&] {
        const HWND found = WaitForWindow(GetCurrentProcessId(), kMainWindowMark, kTimeoutMs);
        big = SendMessageW(found, WM_GETICON, ICON_BIG, 0);
        small = SendMessageW(found, WM_GETICON, ICON_SMALL, 0);
        drag = SendMessageW(found, WM_QUERYDRAGICON, 0, 0);
        PostClick(found, IDC_EXIT);
    });
    EXPECT_EQ(window.DoModal(nullptr), IDOK);
    user.join();
    const auto icon =
        reinterpret_cast<LRESULT>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP)));
    ASSERT_NE(icon, 0);
    EXPECT_EQ(big, icon);
    EXPECT_EQ(small, icon);
    EXPECT_EQ(drag, icon);
}

}  // namespace
}  // namespace velloran::testing
