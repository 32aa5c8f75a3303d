#include "jobs/region_plan.h"

#include <algorithm>
#include <array>

#include "catalogue/backup_layout.h"
#include "jobs/write_sequence.h"

namespace velloran {
namespace {

constexpr std::array<PlannedRegion, 7> MultiRegionFilePlan() {
    std::array<PlannedRegion, 7> plan{};
    for (uint32_t i = 0; i < plan.size(); ++i) {
        plan[i] = {kMultiRegionTable[i].address, kMultiRegionTable[i].length,
                   MultiRegionDataOffset(i)};
    }
    return plan;
}

constexpr std::array<PlannedRegion, 7> kLayout0Plan = MultiRegionFilePlan();

// Two pieces of an older model's image go into the newer model, the first at 0x10F60000.
constexpr std::array<PlannedRegion, 2> kSingleRegionSourcePlan{{
    {0x10F60000, 0x2000, 0x2014},
    {0x10EE0000, 0x10000, 0x8014},
}};

}  // namespace

std::span<const PlannedRegion> RegionPlanFor(uint32_t sourceLayout) {
    switch (sourceLayout) {
        case 0:
            return kLayout0Plan;
        case 1:
        case 2:
            return kSingleRegionSourcePlan;
        default:
            return {};
    }
}

uint64_t RegionPlanFileExtent(std::span<const PlannedRegion> plan) {
    uint64_t extent = 0;
    for (const PlannedRegion& region : plan) {
        extent = std::max(extent, static_cast<uint64_t>(region.fileOffset) + region.length);
    }
    return extent;
}

uint32_t RegionPlanFrameCount(std::span<const PlannedRegion> plan) {
    uint32_t frames = 0;
    for (const PlannedRegion& region : plan) {
        frames += WriteSequenceFrameCount(region.length);
    }
    return frames;
}

}  // namespace velloran
