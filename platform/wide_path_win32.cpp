#include "platform/wide_path_win32.h"

#include <windows.h>

#include <climits>

namespace velloran {
namespace {

constexpr std::wstring_view kVerbatimPrefix = L"\\\\?\\";
constexpr std::wstring_view kVerbatimUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kUncPrefix = L"\\\\";

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) {
        return {};
    }
    full.resize(written);
    return full;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX || text.find('\0') != std::string::npos) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                        wideLength);
    return wide;
}

std::wstring WidePath(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    if (wide.empty() || wide.starts_with(kVerbatimPrefix) || wide.starts_with(kDevicePrefix)) {
        return wide;
    }
    // The limit applies to the full path the system makes of it: a short relative path in
    // a deep folder is over it too (Microsoft documentation, "Maximum Path Length
    // Limitation").
    const std::wstring full = FullPath(wide);
    if (full.empty() || full.size() < MAX_PATH) {
        return wide;
    }
    if (full.starts_with(kUncPrefix)) {
        return std::wstring(kVerbatimUncPrefix) + full.substr(kUncPrefix.size());
    }
    return std::wstring(kVerbatimPrefix) + full;
}

}  // namespace velloran
