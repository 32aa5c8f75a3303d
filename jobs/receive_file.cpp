#include "jobs/receive_file.h"

#include "catalogue/backup_file.h"
#include "platform/exclusive_file.h"

namespace velloran {

ReceiveFile::ReceiveFile(std::string finalPath)
    : finalPath_(std::move(finalPath)), partialPath_(PartialPathFor(finalPath_)) {}

std::string ReceiveFile::PartialPathFor(const std::string& finalPath) {
    return finalPath + ".partial";
}

bool ReceiveFile::Append(const void* bytes, uint32_t count) {
    const int truncate = begun_ ? 0 : 1;
    begun_ = true;
    return AppendToFile(partialPath_, bytes, count, truncate) == 1;
}

bool ReceiveFile::Commit() {
    return begun_ && MoveFileReplacing(partialPath_, finalPath_);
}

void ReceiveFile::Discard() {
    if (begun_) {
        DeleteFileAt(partialPath_);
    }
}

}  // namespace velloran
