#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "jobs/receive_sink.h"
#include "platform/exclusive_file.h"

namespace velloran {

// The backup file a receive builds. It grows in a partial file of our own beside the file
// the chosen path names (through a symbolic link, the file the link leads to) and
// replaces that file only once it is complete and on the disk, so a failed receive leaves
// neither a half-written backup nor a lost earlier one. The partial file is opened once,
// without sharing, and held to the end: each block goes to the system with one write
// call as it arrives, and the flush goes through the same handle. On Windows every close
// is a fresh chance for a virus scanner, a sync client or the indexer to take the file.
class ReceiveFile final : public ReceiveSink {
  public:
    explicit ReceiveFile(std::string chosenPath);

    // Appends to the partial file. The first call first checks that the target can be
    // replaced, so a target that cannot fails at once rather than after the whole
    // transfer; it then removes a partial file a killed receive left and creates the
    // partial file afresh, never opening a file that is not ours.
    [[nodiscard]] bool Append(const void* bytes, uint32_t count) override;
    // Flushes the complete file, closes it and moves it over the target.
    [[nodiscard]] bool Commit() override;
    // Closes and removes the partial file, if this receive created one.
    void Discard() override;

    static std::string PartialPathFor(const std::string& targetPath);

  private:
    bool Begin(const void* bytes, uint32_t count);

    std::string chosenPath_;
    std::string targetPath_;
    std::string partialPath_;
    std::optional<ExclusiveFile> partial_;
    bool begun_ = false;
    bool created_ = false;
};

}  // namespace velloran
