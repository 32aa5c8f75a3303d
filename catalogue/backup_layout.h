#pragma once

#include <array>
#include <cstdint>

namespace velloran {

// Layout of a backup file: an 8-byte header (6 signature bytes, 2 zero bytes), then
// region records of address, length and data, back to back.
inline constexpr uint32_t kFileHeaderLength = 8;
inline constexpr uint32_t kRecordHeadLength = 8;
inline constexpr uint32_t kSingleRegionDataOffset = kFileHeaderLength + kRecordHeadLength;

struct MemoryRegion {
    uint32_t address;
    uint32_t length;
};

// The seven regions of the multi-region model, in file order.
inline constexpr std::array<MemoryRegion, 7> kMultiRegionTable{{
    {0x10E60000, 0x5000},
    {0x10EA0000, 0x2800},
    {0x10EE0000, 0x10000},
    {0x10F20000, 0x10000},
    {0x10F60000, 0x2000},
    {0x10F80000, 0x2000},
    {0x10FA0000, 0x2000},
}};

// File offset of region `index`'s record head within a multi-region file.
constexpr uint32_t MultiRegionRecordOffset(uint32_t index) {
    uint32_t offset = kFileHeaderLength;
    for (uint32_t i = 0; i < index; ++i) {
        offset += kRecordHeadLength + kMultiRegionTable[i].length;
    }
    return offset;
}

constexpr uint32_t MultiRegionDataOffset(uint32_t index) {
    return MultiRegionRecordOffset(index) + kRecordHeadLength;
}

inline constexpr uint32_t kMultiRegionFileLength =
    MultiRegionRecordOffset(static_cast<uint32_t>(kMultiRegionTable.size()));

static_assert(MultiRegionDataOffset(6) == 0x2B840);
static_assert(kMultiRegionFileLength == 186432);

}  // namespace velloran
