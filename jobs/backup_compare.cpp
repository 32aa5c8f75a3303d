#include "jobs/backup_compare.h"

#include <algorithm>

#include "catalogue/backup_layout.h"
#include "jobs/dispatcher.h"
#include "jobs/region_plan.h"
#include "jobs/transfer_context.h"

namespace velloran {
namespace {

std::vector<ImageSegment> FromPlan(std::span<const PlannedRegion> plan) {
    std::vector<ImageSegment> segments;
    for (const PlannedRegion& region : plan) {
        segments.push_back({region.targetAddress, region.length, region.fileOffset});
    }
    return segments;
}

// What the first file, sent into `model`, writes; against what the second one holds,
// read as a backup of `heldModel` (its own record for a single-region file).
std::optional<ImageComparison> Compare(const std::string& source, int32_t model,
                                       const std::string& target, int32_t heldModel) {
    const auto written = SegmentsASendWrites(source, model);
    const auto held = heldModel == kMultiRegionModelIndex
                          ? std::optional(SegmentsAReceiveHolds(heldModel))
                          : SegmentsASendWrites(target, heldModel);
    if (!written || !held) {
        return std::nullopt;
    }
    const auto sourceBytes = ReadBackupBytes(source, SegmentsExtent(*written));
    const auto targetBytes = ReadBackupBytes(target, SegmentsExtent(*held));
    if (!sourceBytes || !targetBytes) {
        return std::nullopt;
    }
    return CompareImages(*sourceBytes, *written, *targetBytes, *held);
}

}  // namespace

std::optional<std::vector<ImageSegment>> SegmentsASendWrites(const std::string& path,
                                                             int32_t modelIndex) {
    TransferContext context;
    context.modelIndex = modelIndex;
    context.direction = kDirectionSend;
    context.filePath = path;
    JobChoice choice{};
    if (ModelAt(modelIndex) == nullptr || !ChooseJob(context, choice)) {
        return std::nullopt;
    }
    if (modelIndex == kMultiRegionModelIndex) {
        return FromPlan(RegionPlanFor(context.sourceLayout));
    }
    return std::vector<ImageSegment>{
        {context.regionAddress, context.regionLength, kSingleRegionDataOffset}};
}

std::vector<ImageSegment> SegmentsAReceiveHolds(int32_t modelIndex) {
    if (modelIndex == kMultiRegionModelIndex) {
        return FromPlan(RegionPlanFor(kLayoutMultiRegion));
    }
    const ModelEntry& model = kModelCatalogue[modelIndex];
    return {{model.imageAddress, model.imageLength, kSingleRegionDataOffset}};
}

std::optional<int32_t> ModelOfBackup(const std::string& path) {
    const auto header = ReadBackupBytes(path, kFileHeaderLength);
    return header ? HeaderModel(*header) : std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadBackupBytes(const std::string& path, uint32_t length) {
    BackupFileContext file;
    file.filePath = path;
    std::vector<uint8_t> bytes(length);
    if (length > 0 && file.ReadFileAt(length, 0, bytes.data()) == 0) {
        return std::nullopt;
    }
    return bytes;
}

uint32_t SegmentsExtent(const std::vector<ImageSegment>& segments) {
    uint64_t extent = 0;
    for (const ImageSegment& segment : segments) {
        extent = std::max(extent, uint64_t{segment.offset} + segment.length);
    }
    return static_cast<uint32_t>(std::min<uint64_t>(extent, UINT32_MAX));
}

std::optional<ImageComparison> VerifyAgainstReceived(const std::string& path, int32_t modelIndex,
                                                     const std::vector<uint8_t>& received) {
    const auto written = SegmentsASendWrites(path, modelIndex);
    if (!written) {
        return std::nullopt;
    }
    const auto bytes = ReadBackupBytes(path, SegmentsExtent(*written));
    if (!bytes) {
        return std::nullopt;
    }
    const std::vector<ImageSegment> held = SegmentsAReceiveHolds(modelIndex);
    return CompareImages(*bytes, *written, received, held);
}

BackupDiff DiffBackups(const std::string& first, const std::string& second) {
    BackupDiff diff;
    const std::optional<int32_t> firstModel = ModelOfBackup(first);
    const std::optional<int32_t> secondModel = ModelOfBackup(second);
    if (!firstModel || !SegmentsASendWrites(first, *firstModel)) {
        diff.refusedFile = 1;
        return diff;
    }
    if (!secondModel || !SegmentsASendWrites(second, *secondModel)) {
        diff.refusedFile = 2;
        return diff;
    }
    const bool firstMulti = *firstModel == kMultiRegionModelIndex;
    const bool secondMulti = *secondModel == kMultiRegionModelIndex;
    if (firstMulti && !secondMulti) {
        // The older model's file is the one whose send decides the regions.
        std::optional<ImageComparison> swapped =
            Compare(second, kMultiRegionModelIndex, first, kMultiRegionModelIndex);
        if (!swapped) {
            diff.refusedFile = 2;
            return diff;
        }
        for (DifferingRange& range : swapped->ranges) {
            std::swap(range.expected, range.actual);
        }
        diff.comparison = std::move(*swapped);
        return diff;
    }
    const int32_t sendModel = secondMulti ? kMultiRegionModelIndex : *firstModel;
    std::optional<ImageComparison> comparison = Compare(first, sendModel, second, *secondModel);
    if (!comparison) {
        diff.refusedFile = 1;
        return diff;
    }
    diff.comparison = std::move(*comparison);
    return diff;
}

}  // namespace velloran
