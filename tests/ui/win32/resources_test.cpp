// The resources the program is linked with: both dialog templates against their numbers
// and the control kinds every front end shares (res/dialog_templates.h), the string
// table against res/strings.def, icon 128 and the manifest.
#include <gtest/gtest.h>

#include <string>

#include "res/dialog_templates.h"
#include "tests/ui/template_numbers.h"
#include "tests/ui/win32/dialog_template_reader.h"
#include "tests/ui/win32/table_text.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {
namespace {

const std::wstring kDialogFont = L"ＭＳ Ｐゴシック";

// What a control of each kind must be in the template: its class, the style bits that
// make it that kind, and bits it must not have.
struct KindShape {
    ControlKind kind;
    const wchar_t* className;
    DWORD typeMask;  // compared with `type`
    DWORD type;
    DWORD required;
    DWORD forbidden;
};

constexpr KindShape kShapes[] = {
    {ControlKind::kGroupBox, L"Button", BS_TYPEMASK, BS_GROUPBOX, 0, WS_TABSTOP},
    {ControlKind::kText, L"Static", SS_TYPEMASK, SS_LEFT, 0, SS_CENTERIMAGE},
    {ControlKind::kTextCentred, L"Static", SS_TYPEMASK, SS_LEFT, SS_CENTERIMAGE, 0},
    {ControlKind::kDropDownList, L"ComboBox", 0x3, CBS_DROPDOWNLIST, WS_VSCROLL | WS_TABSTOP,
     CBS_SORT},
    {ControlKind::kPushButton, L"Button", BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP, 0},
    {ControlKind::kDefaultPushButton, L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP, 0},
    {ControlKind::kProgressBar, L"msctls_progress32", 0, 0, WS_BORDER, 0},
};

const KindShape& ShapeOf(ControlKind kind) {
    for (const KindShape& shape : kShapes) {
        if (shape.kind == kind) {
            return shape;
        }
    }
    throw std::logic_error("no shape for a control kind");
}

struct DialogShape {
    const char* name;
    const TemplateNumbers* numbers;
    const DialogTemplate* layout;
    DWORD required;
    DWORD forbidden;
    DWORD exRequired;
};

class DialogTemplateTest : public ::testing::TestWithParam<DialogShape> {};

TEST_P(DialogTemplateTest, MatchesTheSharedLayoutWithEmptyTexts) {
    const DialogShape& shape = GetParam();
    const std::optional<TemplateDialog> dialog =
        ReadDialogTemplate(GetModuleHandleW(nullptr), shape.numbers->id);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->width, shape.numbers->width);
    EXPECT_EQ(dialog->height, shape.numbers->height);
    EXPECT_EQ(dialog->style & shape.required, shape.required);
    EXPECT_EQ(dialog->style & shape.forbidden, 0u);
    EXPECT_EQ(dialog->exStyle & shape.exRequired, shape.exRequired);
    EXPECT_EQ(dialog->caption, L"");
    EXPECT_EQ(dialog->fontPoints, 9);
    EXPECT_EQ(dialog->fontName, kDialogFont);

    ASSERT_EQ(dialog->controls.size(), shape.numbers->controls.size());
    ASSERT_EQ(dialog->controls.size(), shape.layout->controls.size());
    for (size_t i = 0; i < dialog->controls.size(); ++i) {
        const TemplateControl& actual = dialog->controls[i];
        const ControlNumbers& expected = shape.numbers->controls[i];
        const KindShape& kind = ShapeOf(shape.layout->controls[i].kind);
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(static_cast<int16_t>(actual.id), expected.id);
        EXPECT_EQ(actual.x, expected.x);
        EXPECT_EQ(actual.y, expected.y);
        EXPECT_EQ(actual.width, expected.width);
        EXPECT_EQ(actual.height, expected.height);
        // Class names are not case-sensitive; the resource compiler writes some upper-case.
        EXPECT_EQ(_wcsicmp(actual.className.c_str(), kind.className), 0) << actual.className;
        EXPECT_EQ(actual.style & kind.typeMask, kind.type);
        EXPECT_EQ(actual.style & kind.required, kind.required);
        EXPECT_EQ(actual.style & kind.forbidden, 0u);
        EXPECT_EQ(actual.style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
        EXPECT_EQ(actual.text, L"");
    }
}

constexpr DWORD kModalPopup = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
constexpr DWORD kSizeBoxes = WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest,
                         ::testing::Values(
                             // The main window has the close box and a place in the task bar.
                             DialogShape{"Main", &kMainNumbers, &kMainTemplate,
                                         kModalPopup | WS_SYSMENU, kSizeBoxes, WS_EX_APPWINDOW},
                             // The transfer window has no system menu, so nothing to close it with.
                             DialogShape{"Transfer", &kTransferNumbers, &kTransferTemplate,
                                         kModalPopup, kSizeBoxes | WS_SYSMENU, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StringTableTest, EveryEntryOfTheSharedTableIsInTheResources) {
    for (const TableEntry& entry : kTableEntries) {
        SCOPED_TRACE(entry.id);
        const wchar_t* text = nullptr;
        // With a zero size, LoadStringW hands out the resource's own text, of any length.
        const int length =
            LoadStringW(GetModuleHandleW(nullptr), entry.id, reinterpret_cast<LPWSTR>(&text), 0);
        ASSERT_GT(length, 0);
        EXPECT_EQ(std::wstring(text, static_cast<size_t>(length)), Utf16(entry.text));
    }
    wchar_t none[8] = {};
    EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 113, none, 8), 0);
}

TEST(IconTest, Icon128HasTheLargeAndTheSmallSize) {
    for (const int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const auto icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
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
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    for (const char* text : {">PerMonitorV2, System<", ">true</dpiAware>", "version=\"1.2.0.0\"",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // Windows 7
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",     // Windows 8
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",     // Windows 8.1
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // Windows 10, 11
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace velloran::testing
