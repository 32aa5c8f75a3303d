#include "cli/refusal_reason.h"

#include <algorithm>
#include <filesystem>

#include "catalogue/backup_layout.h"
#include "catalogue/model_catalogue.h"
#include "cli/utf8_path.h"

namespace velloran::cli {
namespace {

// The smallest file the file tests look into: a header and a record head, and a byte.
constexpr uint64_t kSmallestAccepted = kSingleRegionDataOffset + 1;

bool ModelTakes(int32_t modelIndex, int32_t fileModel) {
    const CompatEntry* row = FindCompatRow(kModelCatalogue[modelIndex].series);
    const ModelSignature signature = kModelCatalogue[fileModel].Signature();
    return row != nullptr && std::find(row->accepted.begin(), row->accepted.begin() + row->count,
                                       signature) != row->accepted.begin() + row->count;
}

std::string WrongSize(const InspectReport& report, const SendVerdict& send) {
    std::string expected = "at least " + std::to_string(kSmallestAccepted);
    if (send.planExtent > 0) {
        expected = std::to_string(send.planExtent);  // what the send's region plan reads
    } else if (send.regionLength > 0) {
        expected = std::to_string(uint64_t{send.regionLength} + kSingleRegionDataOffset);
    } else if (report.expectedSize) {
        expected = std::to_string(*report.expectedSize);
    }
    return "wrong size: " + std::to_string(report.size) + " bytes, expected " + expected;
}

bool HeaderTailZero(const InspectReport& report) {
    return (*report.header)[6] == 0 && (*report.header)[7] == 0;
}

// The single-region file test takes a header of eight zero bytes as any model's.
bool HeaderAllZero(const InspectReport& report) {
    return std::all_of(report.header->begin(), report.header->end(),
                       [](uint8_t byte) { return byte == 0; });
}

}  // namespace

std::optional<std::string> RefusalReasonOf(const InspectReport& report, int32_t modelIndex) {
    const SendVerdict& send = report.sends.at(static_cast<size_t>(modelIndex));
    if (send.accepted) {
        return std::nullopt;
    }
    if (!report.header || report.size < kSmallestAccepted) {
        return WrongSize(report, send);
    }
    const bool tailMatters = modelIndex == kMultiRegionModelIndex;
    if (!tailMatters && HeaderAllZero(report)) {
        return WrongSize(report, send);
    }
    if (!report.headerModel || (tailMatters && !HeaderTailZero(report))) {
        return std::string("unknown header");
    }
    if (!ModelTakes(modelIndex, *report.headerModel)) {
        return std::string("an ") + kModelCatalogue[*report.headerModel].displayName +
               " backup does not go into an " + kModelCatalogue[modelIndex].displayName;
    }
    return WrongSize(report, send);
}

std::optional<std::string> RefusalReason(const std::string& path, int32_t modelIndex) {
    std::error_code error;
    const auto status = std::filesystem::status(PathFromUtf8(path), error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::string("missing");
    }
    const std::optional<InspectReport> report = InspectFile(path);
    if (!report) {
        return std::string("unreadable");
    }
    return RefusalReasonOf(*report, modelIndex);
}

}  // namespace velloran::cli
