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

}  // namespace

std::optional<std::string> RefusalReasonOf(const InspectReport& report, int32_t modelIndex) {
    const SendVerdict& send = report.sends.at(static_cast<size_t>(modelIndex));
    switch (send.file.refusal) {
        case FileRefusal::kNone:
            return std::nullopt;
        case FileRefusal::kUnreadable:
            return std::string("unreadable");
        case FileRefusal::kUnknownLayout:
            return std::string("unknown header");
        case FileRefusal::kHeaderRefused:
            if (!report.headerModel) {
                return std::string("unknown header");
            }
            return std::string("an ") + kModelCatalogue[*report.headerModel].displayName +
                   " backup does not go into an " + kModelCatalogue[modelIndex].displayName;
        case FileRefusal::kTooShort:
        case FileRefusal::kEmptyRecord:
        case FileRefusal::kShorterThanRecord:
        case FileRefusal::kShorterThanPlan:
            break;
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
