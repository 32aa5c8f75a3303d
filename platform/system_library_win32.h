#pragma once

#include <windows.h>

#include <string>

namespace velloran {

// The loader calls behind LoadSystemLibrary, so that its choices can be checked.
class LibraryLoadCalls {
  public:
    virtual ~LibraryLoadCalls() = default;
    // LoadLibraryExW(path, nullptr, flags).
    virtual HMODULE Load(const std::wstring& path, DWORD flags) = 0;
    // GetSystemDirectoryW; empty when it fails.
    virtual std::wstring SystemFolder() = 0;
};

// Loads a DLL that Windows ships from the system folder only, never from the program's
// folder or the current one, where a planted copy could lie. Null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);
HMODULE LoadSystemLibrary(const wchar_t* name, LibraryLoadCalls& calls);

}  // namespace velloran
