#pragma once

#include <filesystem>
#include <string>

namespace velloran::cli {

// The program's paths are UTF-8 text. A std::filesystem::path made from a plain
// std::string reads it in the ANSI code page on Windows, so conversions go through
// char8_t.
inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// UTF-16 text (a Windows argument) as UTF-8.
inline std::string Utf8FromWide(const std::wstring& text) {
    const std::u8string utf8 = std::filesystem::path(text).u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace velloran::cli
