#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace velloran {

enum class FileAccess {
    kReadExisting,         // read; the file must exist
    kWriteCreateOrEmpty,   // write; create the file, or empty it when it exists
    kWriteCreateOrAppend,  // write; create the file when it is missing, keep its bytes
    kWriteNew,             // write; create the file, failing when anything stands there
    kWriteExisting,        // write; the file must exist and not be a link, keep its bytes
};

// A file held exclusively for the length of one operation: opened, used and closed by
// its owner's scope. Paths are UTF-8. While one program of ours holds the file for
// writing, no other can open it; readers exclude writers. Opening never waits: a path
// that is not a regular file on a disk (a folder, a pipe, a device) does not open.
class ExclusiveFile {
  public:
    ExclusiveFile(const std::string& path, FileAccess access);
    ~ExclusiveFile();
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    bool IsOpen() const { return handle_ != kClosed; }
    std::optional<uint64_t> Size() const;
    [[nodiscard]] bool SeekFromStart(uint64_t offset);
    [[nodiscard]] bool SeekToEnd();
    // The number of bytes the call delivered, which may be fewer than asked, or -1 when
    // the call failed.
    [[nodiscard]] int64_t Read(void* buffer, uint32_t count);
    [[nodiscard]] int64_t Write(const void* bytes, uint32_t count);

  private:
    static constexpr intptr_t kClosed = -1;
    intptr_t handle_ = kClosed;
};

// Windows: sync clients, backup agents and virus scanners open files for a moment, and
// such a moment makes an open without sharing fail. An open, and the final move of a
// receive, that meets a sharing violation or a denied access is tried again for about
// two seconds in short pauses, measured and slept on this clock (the system's unless a
// test put another in place). Returns the clock used until now. Elsewhere unused.
Clock& SetFileRetryClock(Clock& clock);

bool FileExists(const std::string& path);
[[nodiscard]] bool DeleteFileAt(const std::string& path);

}  // namespace velloran
