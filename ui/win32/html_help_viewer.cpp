#include "ui/win32/html_help_viewer.h"

#include "ui/win32/utf8_text.h"
#include "ui/win32/win32_constants.h"

namespace velloran {
namespace {

using HtmlHelpAEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The viewer's binding, shared by every call and never reset.
struct ViewerBinding {
    HMODULE module = nullptr;
    HtmlHelpAEntry entry = nullptr;
    bool loadFailed = false;
};

ViewerBinding& Binding() {
    static ViewerBinding binding;
    return binding;
}

// The library that the registry names as the viewer's server, expanded; empty if none.
std::wstring RegisteredViewerPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);  // room for a terminator
    DWORD type = 0;
    const LONG read =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    if (type == REG_SZ) {
        return value;
    }
    wchar_t expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? expanded : L"";
}

HMODULE LoadViewerLibrary() {
    HMODULE module = nullptr;
    const std::wstring registered = RegisteredViewerPath();
    if (!registered.empty()) {
        module = LoadLibraryW(registered.c_str());
    }
    return module != nullptr ? module : LoadLibraryW(kHtmlHelpLibrary);
}

HtmlHelpAEntry BoundViewer() {
    ViewerBinding& binding = Binding();
    if (binding.module == nullptr && !binding.loadFailed) {
        binding.module = LoadViewerLibrary();
        binding.loadFailed = binding.module == nullptr;
    }
    if (binding.module != nullptr && binding.entry == nullptr) {
        binding.entry = reinterpret_cast<HtmlHelpAEntry>(reinterpret_cast<void*>(
            GetProcAddress(binding.module, MAKEINTRESOURCEA(kHtmlHelpAOrdinal))));
        binding.loadFailed = binding.entry == nullptr;
    }
    return binding.loadFailed ? nullptr : binding.entry;
}

// The ANSI form of `wide`; empty when some character has none.
std::string Ansi(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    BOOL lossy = FALSE;
    const int length = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                          nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) {
        return {};
    }
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(), bytes,
                        nullptr, &lossy);
    return lossy ? std::string() : text;
}

std::wstring ShortPath(const std::wstring& path) {
    std::wstring shortened(kLongestPath, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortened.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) {
        return {};
    }
    shortened.resize(length);
    return shortened;
}

}  // namespace

std::string AnsiPathFor(const std::string& path) {
    const std::wstring wide = Utf16(path);
    const std::string ansi = Ansi(wide);
    return !ansi.empty() || wide.empty() ? ansi : Ansi(ShortPath(wide));
}

bool HtmlHelpViewer::DisplayContents(const std::string& helpPath) {
    const HtmlHelpAEntry viewer = BoundViewer();
    const std::string ansiPath = AnsiPathFor(helpPath);
    if (viewer == nullptr || ansiPath.empty()) {
        return false;
    }
    return viewer(owner_(), ansiPath.c_str(), kHhDisplayToc, 0) != nullptr;
}

}  // namespace velloran
