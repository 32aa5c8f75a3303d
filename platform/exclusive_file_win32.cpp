#include <windows.h>

#include <limits>

#include "platform/exclusive_file.h"
#include "platform/held_file_retry_win32.h"
#include "platform/wide_path_win32.h"

namespace velloran {
namespace {

// Share mode 0: while the file is open here, no other open of it succeeds.
constexpr DWORD kNoSharing = 0;

struct OpenMode {
    DWORD access;
    DWORD disposition;
};

OpenMode ModeFor(FileAccess access) {
    switch (access) {
        case FileAccess::kReadExisting:
            return {GENERIC_READ, OPEN_EXISTING};
        case FileAccess::kWriteCreateOrEmpty:
            return {GENERIC_WRITE, CREATE_ALWAYS};
        case FileAccess::kWriteCreateOrAppend:
            return {GENERIC_WRITE, OPEN_ALWAYS};
        case FileAccess::kWriteNew:
            return {GENERIC_WRITE, CREATE_NEW};
        case FileAccess::kWriteExisting:
            return {GENERIC_WRITE, OPEN_EXISTING};
    }
    return {GENERIC_READ, OPEN_EXISTING};
}

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool MoveTo(HANDLE file, LONGLONG distance, DWORD origin) {
    LARGE_INTEGER move{};
    move.QuadPart = distance;
    return SetFilePointerEx(file, move, nullptr, origin) != 0;
}

}  // namespace

ExclusiveFile::ExclusiveFile(const std::string& path, FileAccess access) : path_(path) {
    CountOpen();
    const OpenMode mode = ModeFor(access);
    const std::wstring wide = WidePath(path);
    HANDLE file = INVALID_HANDLE_VALUE;
    const auto open = [&] {
        file = CreateFileW(wide.c_str(), mode.access, kNoSharing, nullptr, mode.disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE;
    };
    if (!RetryWhileHeld(open, path, access != FileAccess::kReadExisting)) {
        return;
    }
    // Only files on a disk are backups: device names such as NUL or COM1 open too, and a
    // pipe would make reads wait.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
}

ExclusiveFile::~ExclusiveFile() {
    static_cast<void>(Close());
}

bool ExclusiveFile::Close() {
    if (!IsOpen()) {
        return true;
    }
    const HANDLE file = AsHandle(handle_);
    handle_ = kClosed;
    return CloseHandle(file) != 0;
}

int ExclusiveFile::Flush() {
    if (!IsOpen()) {
        return ERROR_INVALID_HANDLE;
    }
    return FlushFileBuffers(AsHandle(handle_)) != 0 ? 0 : static_cast<int>(GetLastError());
}

std::optional<uint64_t> ExclusiveFile::Size() const {
    LARGE_INTEGER size{};
    if (!IsOpen() || GetFileSizeEx(AsHandle(handle_), &size) == 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(size.QuadPart);
}

bool ExclusiveFile::SeekFromStart(uint64_t offset) {
    constexpr uint64_t kFarthest = static_cast<uint64_t>(std::numeric_limits<LONGLONG>::max());
    return IsOpen() && offset <= kFarthest &&
           MoveTo(AsHandle(handle_), static_cast<LONGLONG>(offset), FILE_BEGIN);
}

bool ExclusiveFile::SeekToEnd() {
    return IsOpen() && MoveTo(AsHandle(handle_), 0, FILE_END);
}

int64_t ExclusiveFile::Read(void* buffer, uint32_t count) {
    DWORD got = 0;
    if (!IsOpen() || ReadFile(AsHandle(handle_), buffer, count, &got, nullptr) == 0) {
        return -1;
    }
    return got;
}

int64_t ExclusiveFile::Write(const void* bytes, uint32_t count) {
    DWORD put = 0;
    if (!IsOpen() || WriteFile(AsHandle(handle_), bytes, count, &put, nullptr) == 0) {
        return -1;
    }
    return put;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DeleteFileAt(const std::string& path) {
    return DeleteFileW(WidePath(path).c_str()) != 0;
}

}  // namespace velloran
