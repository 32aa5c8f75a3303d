#include "platform/system_library_win32.h"

#include <vector>

namespace velloran {
namespace {

class SystemLoadCalls final : public LibraryLoadCalls {
  public:
    HMODULE Load(const std::wstring& path, DWORD flags) override {
        return LoadLibraryExW(path.c_str(), nullptr, flags);
    }

    std::wstring SystemFolder() override {
        std::vector<wchar_t> folder(MAX_PATH);
        UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        if (length >= folder.size()) {
            folder.resize(length);
            length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        }
        return length == 0 || length >= folder.size() ? std::wstring()
                                                      : std::wstring(folder.data(), length);
    }
};

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
    SystemLoadCalls calls;
    return LoadSystemLibrary(name, calls);
}

// LOAD_LIBRARY_SEARCH_SYSTEM32 needs Windows 8, or Windows 7 with update KB2533623; without
// it LoadLibraryExW refuses the flag ("LoadLibraryExW function", Microsoft documentation).
// The full path in the system folder then does the same, and LOAD_WITH_ALTERED_SEARCH_PATH
// makes the library's own imports be looked for beside it too. Never a plain name: that
// searches the program's folder first.
HMODULE LoadSystemLibrary(const wchar_t* name, LibraryLoadCalls& calls) {
    if (const HMODULE module = calls.Load(name, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    const std::wstring folder = calls.SystemFolder();
    if (folder.empty()) {
        return nullptr;
    }
    return calls.Load(folder + L"\\" + name, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace velloran
