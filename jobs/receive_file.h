#pragma once

#include <cstdint>
#include <string>

namespace velloran {

// The backup file a receive builds. It grows in a partial file beside the chosen path
// and replaces whatever stood there only once it is complete, so a failed receive
// leaves neither a half-written backup nor a lost earlier one.
class ReceiveFile {
  public:
    explicit ReceiveFile(std::string finalPath);

    // Appends to the partial file; the first call creates it, or empties a stale one.
    [[nodiscard]] bool Append(const void* bytes, uint32_t count);
    // Moves the complete file over the chosen path.
    [[nodiscard]] bool Commit();
    // Removes the partial file, if one was begun.
    void Discard();

    static std::string PartialPathFor(const std::string& finalPath);

  private:
    std::string finalPath_;
    std::string partialPath_;
    bool begun_ = false;
};

}  // namespace velloran
