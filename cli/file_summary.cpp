#include "cli/file_summary.h"

#include <algorithm>
#include <filesystem>

#include "catalogue/backup_file.h"
#include "catalogue/model_catalogue.h"
#include "cli/utf8_path.h"

namespace velloran::cli {
namespace {

RecordView ReadRecord(const BackupFileContext& file, uint64_t size, uint32_t offset) {
    RecordView record;
    record.offset = offset;
    RecordHead head{};
    record.present = static_cast<uint64_t>(offset) + kRecordHeadLength <= size &&
                     file.ReadFileAt(kRecordHeadLength, offset, head.data()) == 1;
    if (record.present) {
        const MemoryRegion region = ReadRecordHead(head);
        record.address = region.address;
        record.length = region.length;
    }
    return record;
}

void ReadMultiRegionRecords(const BackupFileContext& file, InspectReport& report) {
    for (uint32_t i = 0; i < kMultiRegionTable.size(); ++i) {
        RecordView record = ReadRecord(file, report.size, MultiRegionRecordOffset(i));
        record.expected = kMultiRegionTable[i];
        report.records.push_back(record);
    }
    report.expectedSize = kMultiRegionFileLength;
}

void ReadSingleRegionRecord(const BackupFileContext& file, InspectReport& report) {
    RecordView record = ReadRecord(file, report.size, kFileHeaderLength);
    const ModelEntry* model = report.headerModel ? ModelAt(*report.headerModel) : nullptr;
    if (model != nullptr) {
        record.expected = MemoryRegion{model->imageAddress, model->imageLength};
        report.expectedSize = uint64_t{kSingleRegionDataOffset} + model->imageLength;
    } else if (record.present) {
        report.expectedSize = uint64_t{kSingleRegionDataOffset} + record.length;
    }
    report.records.push_back(record);
}

// Reads the header and, when the file holds one, the record heads its model puts there.
bool ReadHeaderAndRecords(InspectReport& report) {
    BackupFileContext file;
    file.filePath = report.path;
    if (report.size < kFileHeaderLength) {
        return true;
    }
    FileHeader header{};
    if (file.ReadFileAt(kFileHeaderLength, 0, header.data()) == 0) {
        return false;
    }
    report.header = header;
    report.headerModel = HeaderModel(header);
    if (report.headerModel == kMultiRegionModelIndex) {
        ReadMultiRegionRecords(file, report);
    } else {
        ReadSingleRegionRecord(file, report);
    }
    return true;
}

}  // namespace

std::optional<InspectReport> InspectFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(PathFromUtf8(path), error)) {
        return std::nullopt;
    }
    InspectReport report;
    report.path = path;
    report.size = std::filesystem::file_size(PathFromUtf8(path), error);
    if (error || !ReadHeaderAndRecords(report)) {
        return std::nullopt;
    }
    for (int32_t index = 0; ModelAt(index) != nullptr; ++index) {
        report.sends.push_back(JudgeSend(path, index));
    }
    return report;
}

}  // namespace velloran::cli
