#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

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

using FileHeader = std::array<uint8_t, kFileHeaderLength>;
using RecordHead = std::array<uint8_t, kRecordHeadLength>;

// The model whose signature the first six bytes of `header` carry; bytes 6 and 7 are not
// looked at. Nothing for a header shorter than a signature or of no model.
std::optional<int32_t> HeaderModel(std::span<const uint8_t> header);

// Which model a file bound for the multi-region model was received from: the header's
// model, whose catalogue index is the source layout, when bytes 6 and 7 are zero.
std::optional<uint32_t> SourceLayoutOf(const FileHeader& header);

// The header a receive from the model writes: its signature and two zero bytes.
FileHeader HeaderFor(int32_t modelIndex);

// A region's record head: LE32 address, LE32 length.
RecordHead MakeRecordHead(const MemoryRegion& region);
MemoryRegion ReadRecordHead(const RecordHead& head);

// The regions a receive from the model writes after the header, in file order: the
// catalogue's one image for a single-region model, the seven regions for the other.
std::vector<MemoryRegion> ReceivedRegions(int32_t modelIndex);

}  // namespace velloran
