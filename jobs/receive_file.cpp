#include "jobs/receive_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "catalogue/backup_file.h"
#include "catalogue/model_catalogue.h"
#include "platform/exclusive_file.h"
#include "platform/file_replace.h"

namespace velloran {
namespace {

// A name no user picks for a file of their own.
constexpr std::string_view kPartialSuffix = ".velloran-partial";
constexpr size_t kMaxFileNameBytes = 255;

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool WriteAll(ExclusiveFile& file, const void* bytes, uint32_t count) {
    const auto write = [&file](const uint8_t* from, uint32_t n) { return file.Write(from, n); };
    return WriteFully(write, static_cast<const uint8_t*>(bytes), count);
}

// Whether the file at `path` is a partial file a receive left: a plain file, empty or
// beginning with a model's signature as every backup does, or with six zero bytes, which
// a power cut can leave where the header had not reached the disk yet.
bool IsLeftoverPartial(const std::string& path) {
    if (!IsPlainFile(path)) {
        return false;
    }
    ExclusiveFile file(path, FileAccess::kReadExisting);
    ModelSignature head{};
    const std::optional<uint64_t> size = file.Size();
    if (!size) {
        return false;
    }
    if (*size == 0) {
        return true;
    }
    if (file.Read(head.data(), kSignatureLength) != kSignatureLength) {
        return false;
    }
    return HeaderModel(head).has_value() ||
           std::all_of(head.begin(), head.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

ReceiveFile::ReceiveFile(std::string chosenPath) : chosenPath_(std::move(chosenPath)) {}

std::string ReceiveFile::PartialPathFor(const std::string& targetPath) {
    // The partial file's name must fit where the chosen name just fits: a long name is
    // shortened at a character boundary to make room for the suffix.
    const size_t nameStart = targetPath.find_last_of("/\\") + 1;
    size_t keep = targetPath.size() - nameStart;
    if (keep + kPartialSuffix.size() > kMaxFileNameBytes) {
        keep = kMaxFileNameBytes - kPartialSuffix.size();
        while (keep > 0 && IsUtf8Continuation(targetPath[nameStart + keep])) {
            --keep;
        }
    }
    return targetPath.substr(0, nameStart + keep) + std::string(kPartialSuffix);
}

bool ReceiveFile::Begin(const void* bytes, uint32_t count) {
    const std::optional<std::string> target = ResolveLinkTarget(chosenPath_);
    if (!target || !CanReplace(*target)) {
        return false;
    }
    targetPath_ = *target;
    partialPath_ = PartialPathFor(targetPath_);
    if (FileExists(partialPath_) &&
        !(IsLeftoverPartial(partialPath_) && DeleteFileAt(partialPath_))) {
        return false;
    }
    partial_.emplace(partialPath_, FileAccess::kWriteNew);
    created_ = partial_->IsOpen();
    return created_ && WriteAll(*partial_, bytes, count);
}

bool ReceiveFile::Append(const void* bytes, uint32_t count) {
    if (!begun_) {
        begun_ = true;
        return Begin(bytes, count);
    }
    return created_ && WriteAll(*partial_, bytes, count);
}

bool ReceiveFile::Commit() {
    return created_ && MoveFileReplacing(*partial_, targetPath_);
}

void ReceiveFile::Discard() {
    if (created_) {
        // Windows removes no file that is open without sharing.
        partial_.reset();
        // Best effort: a partial file another program holds open stays, and nothing
        // else could be done about it here.
        static_cast<void>(DeleteFileAt(partialPath_));
    }
}

}  // namespace velloran
