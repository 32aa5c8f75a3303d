#pragma once

#include <string>
#include <string_view>

namespace velloran {

// The program's text is UTF-8; the Win32 calls take and give UTF-16.
std::wstring Utf16(const std::string& utf8);
std::string Utf8(std::wstring_view utf16);

}  // namespace velloran
