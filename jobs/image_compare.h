#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velloran {

// Where a stretch of printer memory stands in the bytes of a backup.
struct ImageSegment {
    uint32_t address;
    uint32_t length;
    uint32_t offset;
};

// How many of a differing range's first bytes are kept from each side.
inline constexpr uint32_t kShownDifferingBytes = 8;

// A run of consecutive printer addresses whose bytes differ.
struct DifferingRange {
    uint32_t address = 0;
    uint32_t length = 0;
    std::vector<uint8_t> expected;  // the first bytes the written side holds
    std::vector<uint8_t> actual;    // the other side's; empty when it holds no such address
    bool missing = false;           // the other side does not hold these addresses
};

struct ImageComparison {
    std::vector<DifferingRange> ranges;  // in the order the written side lists them
    uint64_t comparedBytes = 0;
    uint64_t differingBytes = 0;

    bool Identical() const { return ranges.empty(); }
};

// Compares, address by address, the memory that `written` places in `source` with what
// `held` places in `target`. Addresses only `target` holds are not looked at; bytes a
// segment places past the end of its bytes count as not held.
ImageComparison CompareImages(std::span<const uint8_t> source,
                              std::span<const ImageSegment> written,
                              std::span<const uint8_t> target, std::span<const ImageSegment> held);

}  // namespace velloran
