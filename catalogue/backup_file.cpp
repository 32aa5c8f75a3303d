#include "catalogue/backup_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "catalogue/backup_layout.h"
#include "catalogue/little_endian.h"
#include "platform/exclusive_file.h"

namespace velloran {
namespace {

using FileHeader = std::array<uint8_t, kFileHeaderLength>;

// Reads until `count` bytes have arrived; false on a failed call or an early end.
bool ReadFully(ExclusiveFile& file, uint8_t* destination, uint32_t count) {
    uint32_t done = 0;
    while (done < count) {
        const int64_t got = file.Read(destination + done, count - done);
        if (got <= 0) {
            return false;
        }
        done += static_cast<uint32_t>(got);
    }
    return true;
}

bool ReadLe32(ExclusiveFile& file, uint32_t& value) {
    uint8_t bytes[4];
    if (!ReadFully(file, bytes, sizeof bytes)) {
        return false;
    }
    value = GetLe32(bytes);
    return true;
}

bool IsAllZero(const FileHeader& header) {
    return std::all_of(header.begin(), header.end(), [](uint8_t b) { return b == 0; });
}

// The compatibility row of the selected model accepts the header at one of its slots
// when the header's signature equals that slot's, or when the whole header is zero.
bool AcceptedBySeries(const FileHeader& header, int32_t modelIndex) {
    const ModelEntry* model = ModelAt(modelIndex);
    const CompatEntry* row = model == nullptr ? nullptr : FindCompatRow(model->series);
    if (row == nullptr) {
        return false;
    }
    const uint32_t slots = std::min(row->count, kCompatSlots);
    for (uint32_t slot = 0; slot < slots; ++slot) {
        if (std::equal(row->accepted[slot].begin(), row->accepted[slot].end(), header.begin()) ||
            IsAllZero(header)) {
            return true;
        }
    }
    return false;
}

// Opens the file, checks its size and reads and accepts its header: the steps the two
// file tests share. The file stays open for the caller's further reads.
std::optional<FileHeader> OpenAcceptedHeader(ExclusiveFile& file, int32_t modelIndex) {
    const std::optional<uint64_t> size = file.Size();
    FileHeader header{};
    if (!size || *size <= kSingleRegionDataOffset ||
        !ReadFully(file, header.data(), kFileHeaderLength) ||
        !AcceptedBySeries(header, modelIndex)) {
        return std::nullopt;
    }
    return header;
}

// Source layout n is the header of catalogue row n: LM-Q30, LM-Q20, LM-Q10.
std::optional<uint32_t> SourceLayoutOf(const FileHeader& header) {
    constexpr uint32_t kLayouts = 3;
    for (uint32_t layout = 0; layout < kLayouts; ++layout) {
        if (header == kModelCatalogue[layout].signature) {
            return layout;
        }
    }
    return std::nullopt;
}

}  // namespace

bool WriteFully(const std::function<int64_t(const uint8_t*, uint32_t)>& write, const uint8_t* bytes,
                uint32_t count) {
    uint32_t done = 0;
    while (done < count) {
        const int64_t put = write(bytes + done, count - done);
        if (put <= 0 || static_cast<uint64_t>(put) > count - done) {
            return false;
        }
        done += static_cast<uint32_t>(put);
    }
    return true;
}

int AppendToFile(const std::string& path, const void* bytes, uint32_t count, int truncate) {
    ExclusiveFile file(
        path, truncate != 0 ? FileAccess::kWriteCreateOrEmpty : FileAccess::kWriteCreateOrAppend);
    // A file whose end cannot be found takes no bytes: they would land in the middle.
    if (!file.IsOpen() || !file.SeekToEnd()) {
        return 0;
    }
    const auto write = [&file](const uint8_t* from, uint32_t n) { return file.Write(from, n); };
    return WriteFully(write, static_cast<const uint8_t*>(bytes), count) ? 1 : 0;
}

int BackupReader::ReadAt(uint32_t count, uint32_t offset, void* destination) {
    if (!file_.SeekFromStart(offset)) {
        return 0;
    }
    return ReadFully(file_, static_cast<uint8_t*>(destination), count) ? 1 : 0;
}

int BackupFileContext::ReadFileAt(uint32_t count, uint32_t offset, void* destination) const {
    BackupReader reader(filePath);
    return reader.ReadAt(count, offset, destination);
}

int BackupFileContext::ValidateSingleRegionFile() {
    ExclusiveFile file(filePath, FileAccess::kReadExisting);
    if (!file.IsOpen() || !OpenAcceptedHeader(file, modelIndex)) {
        return 0;
    }
    uint32_t address = 0;
    uint32_t length = 0;
    if (!ReadLe32(file, address) || !ReadLe32(file, length)) {
        return 0;
    }
    regionAddress = address;
    regionLength = length;
    const uint64_t needed = static_cast<uint64_t>(regionLength) + kSingleRegionDataOffset;
    return regionLength != 0 && file.Size().value_or(0) >= needed ? 1 : 0;
}

int BackupFileContext::ClassifyMultiRegionFile() {
    ExclusiveFile file(filePath, FileAccess::kReadExisting);
    if (!file.IsOpen()) {
        return 0;
    }
    const std::optional<FileHeader> header = OpenAcceptedHeader(file, modelIndex);
    const std::optional<uint32_t> layout = header ? SourceLayoutOf(*header) : std::nullopt;
    if (!layout) {
        return 0;
    }
    sourceLayout = *layout;
    return 1;
}

std::string DefaultFileName(const std::string& filePrefix, const LocalDate& date) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "_%02u%02u%02u.vid", date.year % 100u, date.month % 100u,
                  date.day % 100u);
    return filePrefix + digits;
}

}  // namespace velloran
