#include "tests/ui/win32/dialog_template_reader.h"

namespace velloran::testing {
namespace {

constexpr WORD kOrdinalMarker = 0xFFFF;
constexpr DWORD kItemAlignment = sizeof(DWORD);
const LPCWSTR kDialogResource = MAKEINTRESOURCEW(5);  // RT_DIALOG

// The predefined control classes, by the ordinal a template names them with.
std::wstring PredefinedClass(WORD ordinal) {
    switch (ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(ordinal);
    }
}

// Walks the template's words.
class Cursor {
  public:
    explicit Cursor(const BYTE* at) : at_(at) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Word()); }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }
    // A string, or an ordinal (0xFFFF then a word), given as the class it names.
    std::wstring ClassOrString() {
        const WORD first = Word();
        if (first == kOrdinalMarker) {
            return PredefinedClass(Word());
        }
        std::wstring text;
        for (WORD c = first; c != 0; c = Word()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }
    void AlignToDword() {
        const auto offset = reinterpret_cast<uintptr_t>(at_) % kItemAlignment;
        at_ += offset == 0 ? 0 : kItemAlignment - offset;
    }
    void Skip(size_t bytes) { at_ += bytes; }

  private:
    template <typename T>
    T Take() {
        T value;
        memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    const BYTE* at_;
};

TemplateControl ReadControl(Cursor& cursor) {
    cursor.AlignToDword();
    TemplateControl control;
    control.style = cursor.Dword();
    control.exStyle = cursor.Dword();
    control.x = cursor.Short();
    control.y = cursor.Short();
    control.width = cursor.Short();
    control.height = cursor.Short();
    control.id = cursor.Word();
    control.className = cursor.ClassOrString();
    control.text = cursor.ClassOrString();
    cursor.Skip(cursor.Word());  // creation data
    return control;
}

}  // namespace

std::optional<TemplateDialog> ReadDialogTemplate(HMODULE module, int id) {
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), kDialogResource);
    const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    if (loaded == nullptr) {
        return std::nullopt;
    }
    Cursor cursor(static_cast<const BYTE*>(LockResource(loaded)));
    TemplateDialog dialog;
    dialog.style = cursor.Dword();
    dialog.exStyle = cursor.Dword();
    const WORD count = cursor.Word();
    cursor.Skip(2 * sizeof(short));  // x, y
    dialog.width = cursor.Short();
    dialog.height = cursor.Short();
    cursor.ClassOrString();  // menu
    cursor.ClassOrString();  // window class
    dialog.caption = cursor.String();
    if ((dialog.style & DS_SETFONT) != 0) {
        dialog.fontPoints = cursor.Word();
        dialog.fontName = cursor.String();
    }
    for (WORD i = 0; i < count; ++i) {
        dialog.controls.push_back(ReadControl(cursor));
    }
    return dialog;
}

}  // namespace velloran::testing
