#pragma once

// What the test process holds open, counted so that a test can show that a transfer
// leaves no file handle or thread behind.

#include <cstddef>

#if defined(_WIN32)
#include <windows.h>

// After windows.h, on which it builds.
#include <tlhelp32.h>
#else
#include <dirent.h>
#endif

namespace velloran::testing {

#if defined(_WIN32)

inline size_t OpenHandleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

inline size_t ThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD self = GetCurrentProcessId();
    size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == self ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

#else

inline size_t CountFolderEntries(const char* folder) {
    size_t count = 0;
    if (DIR* dir = opendir(folder)) {
        while (readdir(dir) != nullptr) {
            ++count;
        }
        closedir(dir);
    }
    return count;
}

inline size_t OpenHandleCount() {
    return CountFolderEntries("/proc/self/fd");
}
inline size_t ThreadCount() {
    return CountFolderEntries("/proc/self/task");
}

#endif

}  // namespace velloran::testing
