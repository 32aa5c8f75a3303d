#include <windows.h>

#include "platform/exclusive_file.h"
#include "platform/file_replace.h"
#include "platform/held_file_retry_win32.h"
#include "platform/wide_path_win32.h"

namespace velloran {

const ReplaceSteps& SystemReplaceSteps() {
    static const ReplaceSteps steps{
        [](ExclusiveFile& file) { return file.Flush(); },
        [](const std::string& from, const std::string& to) {
            // Write-through: the call returns once the move is on the disk.
            const auto move = [&] {
                return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            };
            return RetryWhileHeld(move, to, true);
        },
        [](const std::string&) { return 0; },
    };
    return steps;
}

// A drive whose file system driver implements no flush (some network, cloud and virtual
// machine shared folders) fails FlushFileBuffers (Microsoft documentation,
// "FlushFileBuffers function") with ERROR_INVALID_FUNCTION, 1, "Incorrect function"
// (Microsoft documentation, "System Error Codes (0-499)"). Wine flushes every drive, so
// only the seam shows this answer.
bool IsFlushNotOffered(int error) {
    return error == ERROR_INVALID_FUNCTION;
}

bool CanReplace(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            return false;
        }
        // A device name (NUL, CON, COM1) may have no attributes, yet it opens: then
        // something stands there that is no file.
        const HANDLE device =
            CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            return true;
        }
        CloseHandle(device);
        return false;
    }
    // A read-only file stays read-only (Wine would replace it); a held one opens nowhere
    // else, and a device or a folder is no backup file.
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
           ExclusiveFile(path, FileAccess::kWriteExisting).IsOpen();
}

std::optional<std::string> ResolveLinkTarget(const std::string& path) {
    return path;
}

bool IsPlainFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

bool CopyPermissionBits(const std::string&, const std::string&) {
    return true;
}

}  // namespace velloran
