#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/printer_lock.h"

namespace velloran {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kLockFileMode = 0600;
// A `devices` listing looks at a lock by taking it shared for a few microseconds; a
// transfer that meets such a look tries again a few times, a millisecond apart, before
// it calls the printer busy.
constexpr int kAttempts = 5;
constexpr long kRetryPauseNs = 1'000'000;

// The user's runtime folder, or, where the session has none, /tmp/velloran-UID: made
// for the user alone, and used only while it is a real folder of the user's that nobody
// else may enter (another user could otherwise hold or plant our locks).
std::string LockFolder() {
    struct stat info {};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && stat(runtime, &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return runtime;
    }
    std::string folder = "/tmp/velloran-";
    folder.append(std::to_string(getuid()));
    mkdir(folder.c_str(), kPrivateFolderMode);
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
        (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return "";
    }
    return folder;
}

std::string LockPath(const std::string& libraryFile, int32_t deviceIndex) {
    std::string path = LockFolder();
    if (path.empty()) {
        return "";
    }
    // Appended to: GCC 12 at -O3 warns falsely about chains of string sums.
    return path.append("/velloran-printer-")
        .append(libraryFile)
        .append("-")
        .append(std::to_string(deviceIndex))
        .append(".lock");
}

int OpenLockFile(const std::string& path, int flags) {
    return open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, kLockFileMode);
}

}  // namespace

PrinterLockState PrinterLock::TryAcquire(const std::string& libraryFile, int32_t deviceIndex) {
    Release();
    const std::string path = LockPath(libraryFile, deviceIndex);
    // The file stays when released: removing it could split one lock into two files.
    const int fd = path.empty() ? -1 : OpenLockFile(path, O_RDWR | O_CREAT);
    if (fd < 0) {
        return PrinterLockState::kUnavailable;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            handle_ = fd;
            name_ = path;
            return PrinterLockState::kHeld;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            close(fd);
            return PrinterLockState::kUnavailable;
        }
        const timespec pause{0, kRetryPauseNs};
        nanosleep(&pause, nullptr);
    }
    close(fd);
    return PrinterLockState::kBusy;
}

void PrinterLock::Release() {
    if (handle_ != kNone) {
        // Closing the only descriptor of the open file drops its flock.
        close(static_cast<int>(handle_));
        handle_ = kNone;
        name_.clear();
    }
}

bool PrinterLockTaken(const std::string& libraryFile, int32_t deviceIndex) {
    const std::string path = LockPath(libraryFile, deviceIndex);
    const int fd = path.empty() ? -1 : OpenLockFile(path, O_RDONLY);
    if (fd < 0) {
        return false;  // no transfer has ever held it
    }
    const bool taken = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);  // drops the shared lock, if it was taken
    return taken;
}

}  // namespace velloran
