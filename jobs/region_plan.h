#pragma once

#include <cstdint>
#include <span>

namespace velloran {

// One region a multi-region send writes: where in the printer, how much, and where its
// first byte stands in the backup file.
struct PlannedRegion {
    uint32_t targetAddress;
    uint32_t length;
    uint32_t fileOffset;
};

// The plan for a source layout (0: an LM-Q30 file, 1 and 2: an LM-Q20 or LM-Q10 file);
// empty for any other layout.
std::span<const PlannedRegion> RegionPlanFor(uint32_t sourceLayout);

// The file length the plan reads up to: the end of its furthest region.
uint64_t RegionPlanFileExtent(std::span<const PlannedRegion> plan);

// Progress steps of a complete send of the plan: the frames of every write sequence.
uint32_t RegionPlanFrameCount(std::span<const PlannedRegion> plan);

}  // namespace velloran
