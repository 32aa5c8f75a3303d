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

// A file held exclusively while its owner holds this: opened once, used and closed by the
// owner's scope (a whole transfer, or one operation). Paths are UTF-8. While one program
// of ours holds the file for writing, no other can open it; readers exclude writers.
// Opening never waits: a path that is not a regular file on a disk (a folder, a pipe, a
// device) does not open.
class ExclusiveFile {
  public:
    ExclusiveFile(const std::string& path, FileAccess access);
    ~ExclusiveFile();
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    bool IsOpen() const { return handle_ != kClosed; }
    const std::string& Path() const { return path_; }
    std::optional<uint64_t> Size() const;
    [[nodiscard]] bool SeekFromStart(uint64_t offset);
    [[nodiscard]] bool SeekToEnd();
    // The number of bytes the call delivered, which may be fewer than asked, or -1 when
    // the call failed.
    [[nodiscard]] int64_t Read(void* buffer, uint32_t count);
    [[nodiscard]] int64_t Write(const void* bytes, uint32_t count);
    // Writes the file's bytes through to the disk: 0, or the system's error code (errno,
    // or GetLastError on Windows).
    [[nodiscard]] int Flush();
    // Closes the file now; false when the close reported an error.
    [[nodiscard]] bool Close();

  private:
    static void CountOpen();
    static constexpr intptr_t kClosed = -1;
    std::string path_;
    intptr_t handle_ = kClosed;
};

// How many opens ExclusiveFile has made in this process, successful or not: it shows that
// the opens of a transfer do not grow with the size of its file.
uint64_t ExclusiveFileOpenCount();

// Windows: sync clients, backup agents and virus scanners open files for a moment, and
// such a moment makes an open without sharing fail. An open, and the final move of a
// receive, that meets a sharing violation or a denied access is tried again for about
// two seconds in short pauses, measured and slept on this clock (the system's unless a
// test put another in place). Returns the clock used until now. Elsewhere unused.
Clock& SetFileRetryClock(Clock& clock);

bool FileExists(const std::string& path);
[[nodiscard]] bool DeleteFileAt(const std::string& path);

}  // namespace velloran
