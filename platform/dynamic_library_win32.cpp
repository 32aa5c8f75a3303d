#include <windows.h>

#include "platform/dynamic_library.h"
#include "platform/wide_path_win32.h"

namespace velloran {
namespace {

constexpr DWORD kLongestPath = 32768;

// The folder of the running program; empty if unknown. A drive's root keeps its
// backslash, since "C:" alone names the current folder of drive C.
std::wstring ProgramFolder() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) {
        return {};
    }
    path.resize(length);
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return {};
    }
    const bool isDriveRoot = slash > 0 && path[slash - 1] == L':';
    return path.substr(0, isDriveRoot ? slash + 1 : slash);
}

// Takes the current folder out of the library search, once for the process: the open
// dialog changes that folder, and a library planted there must never load. The DLL
// directory takes the current folder's place in the search; naming the program's folder,
// which is searched first anyway, leaves the program folder, the system folders and PATH
// as the places searched. (An empty DLL directory does the same on Windows, but Wine then
// still searches the current folder.)
void RemoveCurrentFolderFromSearch() {
    static const bool removed = SetDllDirectoryW(ProgramFolder().c_str()) != 0;
    static_cast<void>(removed);
}

class Win32LibraryLoader final : public LibraryLoader {
  public:
    void* Load(const std::string& catalogueFileName) override {
        RemoveCurrentFolderFromSearch();
        // A plain name, so the platform's usual search applies.
        const std::wstring name = WideFromUtf8(PlatformLibraryName(catalogueFileName));
        return name.empty() ? nullptr : LoadLibraryW(name.c_str());
    }
    void* Symbol(void* library, const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
    }
    void Free(void* library) override { FreeLibrary(static_cast<HMODULE>(library)); }
};

}  // namespace

std::string PlatformLibraryName(const std::string& catalogueFileName) {
    return catalogueFileName;
}

LibraryLoader& SystemLibraryLoader() {
    static Win32LibraryLoader loader;
    return loader;
}

}  // namespace velloran
