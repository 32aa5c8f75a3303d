#pragma once

#include <cstdint>
#include <string>

#include "jobs/receive_sink.h"

namespace velloran {

// The backup file a receive builds. It grows in a partial file beside the chosen path
// and replaces whatever stood there only once it is complete, so a failed receive
// leaves neither a half-written backup nor a lost earlier one.
class ReceiveFile final : public ReceiveSink {
  public:
    explicit ReceiveFile(std::string finalPath);

    // Appends to the partial file; the first call creates it, or empties a stale one.
    bool Append(const void* bytes, uint32_t count) override;
    // Moves the complete file over the chosen path.
    bool Commit() override;
    // Removes the partial file, if one was begun.
    void Discard() override;

    static std::string PartialPathFor(const std::string& finalPath);

  private:
    std::string finalPath_;
    std::string partialPath_;
    bool begun_ = false;
};

}  // namespace velloran
