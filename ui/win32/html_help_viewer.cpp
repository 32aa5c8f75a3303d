#include "ui/win32/html_help_viewer.h"

#include "ui/win32/utf8_text.h"
#include "ui/win32/win32_constants.h"

namespace velloran {
namespace {

using HtmlHelpWEntry = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The viewer's binding, shared by every call and never reset.
struct ViewerBinding {
    HMODULE module = nullptr;
    HtmlHelpWEntry entry = nullptr;
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

HtmlHelpWEntry BoundViewer() {
    ViewerBinding& binding = Binding();
    if (binding.module == nullptr && !binding.loadFailed) {
        binding.module = LoadViewerLibrary();
        binding.loadFailed = binding.module == nullptr;
    }
    if (binding.module != nullptr && binding.entry == nullptr) {
        binding.entry = reinterpret_cast<HtmlHelpWEntry>(reinterpret_cast<void*>(
            GetProcAddress(binding.module, MAKEINTRESOURCEA(kHtmlHelpWOrdinal))));
        binding.loadFailed = binding.entry == nullptr;
    }
    return binding.loadFailed ? nullptr : binding.entry;
}

}  // namespace

HtmlHelpViewer::~HtmlHelpViewer() {
    if (opened_ && Binding().entry != nullptr) {
        Binding().entry(nullptr, nullptr, kHhCloseAll, 0);
    }
}

bool HtmlHelpViewer::DisplayContents(const std::string& helpPath) {
    const HtmlHelpWEntry viewer = BoundViewer();
    const std::wstring path = Utf16(helpPath);
    if (viewer == nullptr || path.empty()) {
        return false;
    }
    opened_ = true;
    return viewer(owner_(), path.c_str(), kHhDisplayToc, 0) != nullptr;
}

}  // namespace velloran
