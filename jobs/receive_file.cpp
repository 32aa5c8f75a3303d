#include "jobs/receive_file.h"

#include "catalogue/backup_file.h"
#include "platform/exclusive_file.h"

#include <string_view>

namespace velloran {
namespace {

constexpr std::string_view kPartialSuffix = ".partial";
constexpr size_t kMaxFileNameBytes = 255;

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

ReceiveFile::ReceiveFile(std::string finalPath)
    : finalPath_(std::move(finalPath)), partialPath_(PartialPathFor(finalPath_)) {}

std::string ReceiveFile::PartialPathFor(const std::string& finalPath) {
    // The partial file's name must fit where the chosen name just fits: a long name is
    // shortened at a character boundary to make room for the suffix.
    const size_t nameStart = finalPath.find_last_of("/\\") + 1;
    size_t keep = finalPath.size() - nameStart;
    if (keep + kPartialSuffix.size() > kMaxFileNameBytes) {
        keep = kMaxFileNameBytes - kPartialSuffix.size();
        while (keep > 0 && IsUtf8Continuation(finalPath[nameStart + keep])) {
            --keep;
        }
    }
    return finalPath.substr(0, nameStart + keep) + std::string(kPartialSuffix);
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
        // Best effort: a partial file another program holds open stays, and nothing
        // else could be done about it here.
        static_cast<void>(DeleteFileAt(partialPath_));
    }
}

}  // namespace velloran
