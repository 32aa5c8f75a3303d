#include "ui/win32/html_help_viewer.h"

#include <algorithm>
#include <cctype>
#include <string_view>

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

// The library at a full path; its own imports are looked for in its folder first, not in
// the program's ("LoadLibraryExW function", LOAD_WITH_ALTERED_SEARCH_PATH).
HMODULE LoadFromFullPath(const std::wstring& path) {
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// `name` in the system folder (System32, or SysWOW64 for a 32-bit program on 64-bit
// Windows, which the system maps); empty if the folder is unknown.
std::wstring InSystemFolder(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length) + L"\\" + name;
}

HtmlHelpWEntry BoundViewer() {
    ViewerBinding& binding = Binding();
    if (binding.module == nullptr && !binding.loadFailed) {
        binding.module = LoadViewerLibrary(RegisteredViewerPath(), LoadFromFullPath);
        binding.loadFailed = binding.module == nullptr;
    }
    if (binding.module != nullptr && binding.entry == nullptr) {
        binding.entry = reinterpret_cast<HtmlHelpWEntry>(reinterpret_cast<void*>(
            GetProcAddress(binding.module, MAKEINTRESOURCEA(kHtmlHelpWOrdinal))));
        binding.loadFailed = binding.entry == nullptr;
    }
    return binding.loadFailed ? nullptr : binding.entry;
}

std::string Trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

// True when a Zone.Identifier stream puts its file in the Internet zone (3) or the
// Restricted sites zone (4): Windows then shows none of a compiled help file's pages.
// The stream is a small INI text: "[ZoneTransfer]", "ZoneId=3", then where the file came
// from ("[MS-FSCC] Zone.Identifier Stream Name"; "About URL Security Zones": 3 is
// URLZONE_INTERNET, 4 URLZONE_UNTRUSTED).
bool ZoneMarkBlocks(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::string key = Trimmed(std::string_view(line).substr(0, equals));
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (key == "zoneid") {
            const std::string zone = Trimmed(std::string_view(line).substr(equals + 1));
            return zone == "3" || zone == "4";
        }
    }
    return false;
}

// The first 4 KB of the alternate data stream "FILE:STREAM", or empty.
std::string ReadStream(const std::wstring& streamPath) {
    constexpr DWORD kMostBytes = 4096;
    const HANDLE file = CreateFileW(streamPath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text(kMostBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(file, text.data(), kMostBytes, &read, nullptr)) {
        read = 0;
    }
    CloseHandle(file);
    text.resize(read);
    return text;
}

}  // namespace

HMODULE LoadViewerLibrary(const std::wstring& registeredPath, const ViewerLoader& load) {
    HMODULE module = registeredPath.empty() ? nullptr : load(registeredPath);
    if (module == nullptr) {
        const std::wstring inSystem = InSystemFolder(kHtmlHelpLibrary);
        module = inSystem.empty() ? nullptr : load(inSystem);
    }
    return module;
}

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

// Explorer copies the mark of a download onto every file it unpacks from a downloaded
// zip; the viewer then opens with every page reading "Navigation to the webpage was
// canceled" and still returns a window, so the mark is looked at first.
bool HtmlHelpViewer::IsBlocked(const std::string& helpPath) {
    const std::wstring path = Utf16(helpPath);
    return !path.empty() && ZoneMarkBlocks(ReadStream(path + L":Zone.Identifier"));
}

}  // namespace velloran
