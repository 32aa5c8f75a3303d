#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/exclusive_file.h"

namespace velloran {
namespace {

constexpr mode_t kNewFileMode = 0644;

int OpenFlags(FileAccess access) {
    switch (access) {
        case FileAccess::kReadExisting:
            return O_RDONLY;
        case FileAccess::kWriteCreateOrEmpty:
        case FileAccess::kWriteCreateOrAppend:
            return O_WRONLY | O_CREAT;
        case FileAccess::kWriteNew:
            return O_WRONLY | O_CREAT | O_EXCL;
        case FileAccess::kWriteExisting:
            return O_WRONLY | O_NOFOLLOW;
    }
    return O_RDONLY;
}

// An open-file-description lock over the whole file, taken without waiting.
bool LockWholeFile(int fd, bool forWriting) {
    struct flock lock {};
    lock.l_type = forWriting ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

ExclusiveFile::ExclusiveFile(const std::string& path, FileAccess access) : path_(path) {
    CountOpen();
    // Without O_NONBLOCK, opening a FIFO would wait for its other end; with it, a FIFO
    // opens at once and is turned away below. Regular files ignore the flag.
    const int fd = open(path.c_str(), OpenFlags(access) | O_CLOEXEC | O_NONBLOCK, kNewFileMode);
    if (fd < 0) {
        return;
    }
    const bool forWriting = access != FileAccess::kReadExisting;
    struct stat info {};
    // Only regular files are backups; the lock comes before any truncation so that a
    // file another program holds is never emptied under it.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !LockWholeFile(fd, forWriting) ||
        (access == FileAccess::kWriteCreateOrEmpty && ftruncate(fd, 0) != 0)) {
        close(fd);
        return;
    }
    handle_ = fd;
}

ExclusiveFile::~ExclusiveFile() {
    static_cast<void>(Close());
}

bool ExclusiveFile::Close() {
    if (!IsOpen()) {
        return true;
    }
    const int fd = static_cast<int>(handle_);
    handle_ = kClosed;
    return close(fd) == 0;
}

int ExclusiveFile::Flush() {
    if (!IsOpen()) {
        return EBADF;
    }
    int result;
    do {
        result = fsync(static_cast<int>(handle_));
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

std::optional<uint64_t> ExclusiveFile::Size() const {
    struct stat info {};
    if (!IsOpen() || fstat(static_cast<int>(handle_), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(info.st_size);
}

bool ExclusiveFile::SeekFromStart(uint64_t offset) {
    return IsOpen() && lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool ExclusiveFile::SeekToEnd() {
    return IsOpen() && lseek(static_cast<int>(handle_), 0, SEEK_END) >= 0;
}

int64_t ExclusiveFile::Read(void* buffer, uint32_t count) {
    if (!IsOpen()) {
        return -1;
    }
    ssize_t got;
    do {
        got = read(static_cast<int>(handle_), buffer, count);
    } while (got < 0 && errno == EINTR);
    return got;
}

int64_t ExclusiveFile::Write(const void* bytes, uint32_t count) {
    if (!IsOpen()) {
        return -1;
    }
    ssize_t put;
    do {
        put = write(static_cast<int>(handle_), bytes, count);
    } while (put < 0 && errno == EINTR);
    return put;
}

Clock& SetFileRetryClock(Clock& clock) {
    return clock;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

bool DeleteFileAt(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

}  // namespace velloran
