#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velloran::testing {

// A dialog template as the resource compiler wrote it (the DLGTEMPLATE form), read back
// from the program's resources.
struct TemplateControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int id = 0;              // as the dialog manager sees it: 16 bits, -1 is 0xFFFF
    std::wstring className;  // "Button", "Static", ... for the predefined classes
    std::wstring text;
};

struct TemplateDialog {
    DWORD style = 0;
    DWORD exStyle = 0;
    int width = 0, height = 0;
    std::wstring caption;
    int fontPoints = 0;
    std::wstring fontName;
    std::vector<TemplateControl> controls;
};

// Reads template `id` of `module`; nullopt when there is none.
std::optional<TemplateDialog> ReadDialogTemplate(HMODULE module, int id);

}  // namespace velloran::testing
