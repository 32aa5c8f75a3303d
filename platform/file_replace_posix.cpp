#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/exclusive_file.h"
#include "platform/file_replace.h"

namespace velloran {
namespace {

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;

// Opens the folder, fsyncs it and closes it: 0, or the error code.
int SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    int result;
    do {
        result = fsync(fd);
    } while (result != 0 && errno == EINTR);
    const int error = result == 0 ? 0 : errno;
    close(fd);
    return error;
}

// A folder without any write permission is read-only for everyone, the super-user too.
bool FolderTakesNewFiles(const std::string& folder) {
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (info.st_mode & kAnyWrite) != 0 && access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

const ReplaceSteps& SystemReplaceSteps() {
    static const ReplaceSteps steps{
        [](ExclusiveFile& file) { return file.Flush(); },
        [](const std::string& from, const std::string& to) {
            return rename(from.c_str(), to.c_str()) == 0;
        },
        &SyncFolder,
    };
    return steps;
}

// fsync(2): EINVAL when the file "is bound to a special file ... which does not support
// synchronization"; file systems without it (some FUSE, network and virtual machine
// shared folders) answer ENOTSUP or EOPNOTSUPP.
bool IsFlushNotOffered(int error) {
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP;
}

bool CanReplace(const std::string& path) {
    if (!FolderTakesNewFiles(FolderOf(path))) {
        return false;
    }
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    // A file without any write permission stays, even for the super-user; a held one opens
    // nowhere else.
    return S_ISREG(info.st_mode) && (info.st_mode & kAnyWrite) != 0 &&
           ExclusiveFile(path, FileAccess::kWriteExisting).IsOpen();
}

std::optional<std::string> ResolveLinkTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

bool IsPlainFile(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool CopyPermissionBits(const std::string& replaced, const std::string& replacement) {
    struct stat info {};
    if (stat(replaced.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    return chmod(replacement.c_str(), info.st_mode & kPermissionBits) == 0;
}

}  // namespace velloran
