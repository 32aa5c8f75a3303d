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

// Checks the size of the open file and reads and accepts its header: the steps the two
// file tests share. The file stays open for the caller's further reads.
FileRefusal CheckSizeAndHeader(ExclusiveFile& file, int32_t modelIndex, FileHeader& header) {
    const std::optional<uint64_t> size = file.Size();
    if (!file.IsOpen() || !size) {
        return FileRefusal::kUnreadable;
    }
    if (*size <= kSingleRegionDataOffset) {
        return FileRefusal::kTooShort;
    }
    if (!ReadFully(file, header.data(), kFileHeaderLength)) {
        return FileRefusal::kUnreadable;
    }
    return AcceptedBySeries(header, modelIndex) ? FileRefusal::kNone : FileRefusal::kHeaderRefused;
}

FileVerdict TestSingleRegionFile(const std::string& path, int32_t modelIndex) {
    ExclusiveFile file(path, FileAccess::kReadExisting);
    FileHeader header{};
    FileVerdict verdict;
    verdict.refusal = CheckSizeAndHeader(file, modelIndex, header);
    RecordHead head{};
    if (!verdict.Accepted()) {
        return verdict;
    }
    if (!ReadFully(file, head.data(), kRecordHeadLength)) {
        verdict.refusal = FileRefusal::kUnreadable;
        return verdict;
    }
    verdict.record = ReadRecordHead(head);
    const uint64_t needed = uint64_t{verdict.record->length} + kSingleRegionDataOffset;
    if (verdict.record->length == 0) {
        verdict.refusal = FileRefusal::kEmptyRecord;
    } else if (file.Size().value_or(0) < needed) {
        verdict.refusal = FileRefusal::kShorterThanRecord;
    }
    return verdict;
}

FileVerdict TestMultiRegionFile(const std::string& path, int32_t modelIndex) {
    ExclusiveFile file(path, FileAccess::kReadExisting);
    FileHeader header{};
    FileVerdict verdict;
    verdict.refusal = CheckSizeAndHeader(file, modelIndex, header);
    if (verdict.Accepted()) {
        verdict.sourceLayout = SourceLayoutOf(header);
        if (!verdict.sourceLayout) {
            verdict.refusal = FileRefusal::kUnknownLayout;
        }
    }
    return verdict;
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

FileVerdict TestBackupFile(const std::string& path, int32_t modelIndex) {
    return modelIndex == kMultiRegionModelIndex ? TestMultiRegionFile(path, modelIndex)
                                                : TestSingleRegionFile(path, modelIndex);
}

const FileVerdict& BackupFileContext::Keep(const FileVerdict& verdict) {
    if (verdict.record) {
        regionAddress = verdict.record->address;
        regionLength = verdict.record->length;
    }
    if (verdict.sourceLayout && verdict.Accepted()) {
        sourceLayout = *verdict.sourceLayout;
    }
    return verdict;
}

int BackupFileContext::ValidateSingleRegionFile() {
    return Keep(TestSingleRegionFile(filePath, modelIndex)).Accepted() ? 1 : 0;
}

int BackupFileContext::ClassifyMultiRegionFile() {
    return Keep(TestMultiRegionFile(filePath, modelIndex)).Accepted() ? 1 : 0;
}

FileVerdict BackupFileContext::TestFile() {
    return Keep(TestBackupFile(filePath, modelIndex));
}

std::string DefaultFileName(const std::string& filePrefix, const LocalDate& date) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "_%02u%02u%02u.vid", date.year % 100u, date.month % 100u,
                  date.day % 100u);
    return filePrefix + digits;
}

}  // namespace velloran
