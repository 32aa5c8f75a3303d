#include "ui/win32/utf8_text.h"

#include <windows.h>

#include <climits>

#include "platform/wide_path_win32.h"

namespace velloran {

std::wstring Utf16(const std::string& utf8) {
    return WideFromUtf8(utf8);
}

std::string Utf8(std::wstring_view utf16) {
    if (utf16.empty() || utf16.size() > INT_MAX / 4) {
        return {};
    }
    const int length = static_cast<int>(utf16.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace velloran
