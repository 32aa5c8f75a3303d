// The resources the program is linked with: both dialog templates read back word by word
// from the form the resource compiler writes, icon 128 and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/ui/template_numbers.h"

namespace velloran::testing {
namespace {

// The words of dialog template `id` (RT_DIALOG, 5) of this program, in order.
class TemplateWords {
  public:
    explicit TemplateWords(int id) {
        const HMODULE module = GetModuleHandleW(nullptr);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
        at_ = found ? static_cast<const WORD*>(LockResource(LoadResource(module, found))) : nullptr;
    }
    bool Found() const { return at_ != nullptr; }
    WORD Word() { return *at_++; }
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
    void Align() { at_ += (reinterpret_cast<uintptr_t>(at_) % 4) / 2; }

  private:
    const WORD* at_ = nullptr;
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
    ASSERT_TRUE(t.Found());
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
        const int x = t.Short(), y = t.Short(), width = t.Short(), height = t.Short();
        EXPECT_EQ((std::vector<int>{x, y, width, height}),
                  (std::vector<int>{n.x, n.y, n.width, n.height}));
        EXPECT_EQ(static_cast<int16_t>(t.Word()), n.id);
        // Class names are not case-sensitive; the resource compiler writes some upper-case.
        EXPECT_EQ(_wcsicmp(t.Text().c_str(), kind.className), 0);
        EXPECT_EQ(t.Text(), L"");
        EXPECT_EQ(t.Word(), 0);  // no creation data
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest,
                         ::testing::Values(
                             // The main window has the close box and a place in the task bar.
                             DialogCase{"Main",
                                        &kMainNumbers,
                                        WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_SYSMENU,
                                        WS_EX_APPWINDOW,
                                        {kGroup, kCentred, kList, kGroup, kText, kButton, kGroup,
                                         kText, kButton, kButton, kDefault, kCentred, kCentred}},
                             // The transfer window has no system menu, so nothing to close it with.
                             DialogCase{"Transfer",
                                        &kTransferNumbers,
                                        WS_POPUP | WS_CAPTION | DS_MODALFRAME,
                                        0,
                                        {kText, kBar}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IconTest, Icon128HasTheLargeAndTheSmallSize) {
    for (const int size : {16, 32, 48}) {
        const auto icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, 0));
        ICONINFO info{};
        ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << size;
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmBitsPixel, 32);
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

}  // namespace
}  // namespace velloran::testing
