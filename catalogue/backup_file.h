#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "catalogue/backup_layout.h"
#include "catalogue/model_catalogue.h"
#include "platform/exclusive_file.h"
#include "platform/local_date.h"

namespace velloran {

// Delivers `count` bytes through `write`, which reports the bytes one call delivered or
// -1. A call that fails, or succeeds without delivering a byte, ends it with false.
bool WriteFully(const std::function<int64_t(const uint8_t*, uint32_t)>& write, const uint8_t* bytes,
                uint32_t count);

// A backup file held open for reading, without sharing, for a run of reads: a send reads
// every chunk through this one handle, so no other program can change or take the file
// between two chunks.
class BackupReader {
  public:
    explicit BackupReader(const std::string& path) : file_(path, FileAccess::kReadExisting) {}
    bool IsOpen() const { return file_.IsOpen(); }
    // Reads exactly `count` bytes from byte `offset` into `destination`. 1 on success; 0
    // when the file is not open, cannot be positioned, or delivers fewer bytes than asked.
    [[nodiscard]] int ReadAt(uint32_t count, uint32_t offset, void* destination);

  private:
    ExclusiveFile file_;
};

// Which model a file bound for the multi-region model was received from.
enum SourceLayout : uint32_t {
    kLayoutMultiRegion = 0,  // an LM-Q30 file
    kLayoutSeries1 = 1,      // an LM-Q20 file
    kLayoutSeries0 = 2,      // an LM-Q10 file
};

// What the file tests refuse a file for; kNone when they accept it.
enum class FileRefusal {
    kNone,
    kUnreadable,         // cannot be opened or read
    kTooShort,           // no more than a header and a record head
    kHeaderRefused,      // the model's series takes no backup with this header
    kUnknownLayout,      // multi-region model: the header names no source layout
    kEmptyRecord,        // single-region model: the record's length is 0
    kShorterThanRecord,  // single-region model: the file ends inside the record's data
    kShorterThanPlan,    // multi-region model: the file ends inside its region plan
};

// What the file test of one model found in a file.
struct FileVerdict {
    FileRefusal refusal = FileRefusal::kUnreadable;
    std::optional<MemoryRegion> record;    // single-region test: the record head, once read
    std::optional<uint32_t> sourceLayout;  // multi-region test: once the header names one

    bool Accepted() const { return refusal == FileRefusal::kNone; }
};

// The file test of the model at `modelIndex`: the multi-region test for the multi-region
// model, the single-region test for the others.
FileVerdict TestBackupFile(const std::string& path, int32_t modelIndex);

// The file side of one transfer: the chosen file and model, and what the file tests
// found in the file.
struct BackupFileContext {
    int32_t modelIndex = 0;
    std::string filePath;
    uint32_t regionAddress = 0;
    uint32_t regionLength = 0;
    uint32_t sourceLayout = 0;

    // Reads exactly `count` bytes from byte `offset` of the file into `destination`,
    // opening and closing the file for this one call. 1 on success; 0 when the file
    // cannot be opened or positioned, or delivers fewer bytes than asked.
    [[nodiscard]] int ReadFileAt(uint32_t count, uint32_t offset, void* destination) const;

    // 1 when the file may be sent to the selected single-region model; stores the first
    // record's address and length, also when the file is refused after reading them.
    [[nodiscard]] int ValidateSingleRegionFile();

    // 1 when the file may be sent to the multi-region model; stores its source layout.
    [[nodiscard]] int ClassifyMultiRegionFile();

    // Runs the selected model's file test, as the two above do, and keeps what it found.
    FileVerdict TestFile();

  private:
    const FileVerdict& Keep(const FileVerdict& verdict);
};

// "prefix_YYMMDD.vid", with the year modulo 100 and every number zero-filled.
std::string DefaultFileName(const std::string& filePrefix, const LocalDate& date);

}  // namespace velloran
