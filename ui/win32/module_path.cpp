#include "ui/win32/module_path.h"

#include <windows.h>

#include "ui/win32/utf8_text.h"
#include "ui/win32/win32_constants.h"

namespace velloran {

std::string ProgramPath() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) {
        return {};
    }
    path.resize(length);
    return Utf8(path);
}

}  // namespace velloran
