#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velloran {

enum class FileAccess {
    ReadExisting,         // read; the file must exist
    WriteCreateOrEmpty,   // write; create the file, or empty it when it exists
    WriteCreateOrAppend,  // write; create the file when it is missing, keep its bytes
};

// A file held exclusively for the length of one operation: opened, used and closed by
// its owner's scope. Paths are UTF-8. While one program of ours holds the file for
// writing, no other can open it; readers exclude writers.
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

bool FileExists(const std::string& path);
[[nodiscard]] bool DeleteFileAt(const std::string& path);
// Moves `from` over `to`, replacing `to` in one step. Fails, touching nothing, when `to`
// is held by another program or cannot be opened for writing.
[[nodiscard]] bool MoveFileReplacing(const std::string& from, const std::string& to);

}  // namespace velloran
