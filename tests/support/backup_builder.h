#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/backup_layout.h"
#include "catalogue/little_endian.h"
#include "catalogue/model_catalogue.h"

namespace velloran::testing {

// Rows of the model catalogue, newest first.
inline constexpr int32_t kQ30 = 0;
inline constexpr int32_t kQ20 = 1;
inline constexpr int32_t kQ10 = 2;

// The seven regions of an LM-Q30's memory, in file order.
inline constexpr MemoryRegion kQ30Regions[7] = {
    {0x10E60000, 0x5000}, {0x10EA0000, 0x2800}, {0x10EE0000, 0x10000}, {0x10F20000, 0x10000},
    {0x10F60000, 0x2000}, {0x10F80000, 0x2000}, {0x10FA0000, 0x2000},
};

// Byte strings shaped like backup files, for the file tests and the jobs.
inline std::vector<uint8_t> HeaderOf(int32_t modelIndex) {
    const auto& sig = kModelCatalogue[modelIndex].signature;
    return {sig.begin(), sig.end()};
}

// Bytes written as hex pairs, "02 eb 07".
inline std::vector<uint8_t> Hex(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;) {
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

// A recognisable data pattern: byte i of stream `seed`.
inline uint8_t PatternByte(uint32_t i, uint32_t seed) {
    return static_cast<uint8_t>((i * 131u + seed * 7u + (i >> 8)) & 0xFF);
}

// Header, one record head (address, length) and `dataBytes` bytes of pattern. Sized in
// full first: growing a short header in place trips GCC 12's -Warray-bounds at -O3.
inline std::vector<uint8_t> SingleRegionFile(std::vector<uint8_t> header, uint32_t address,
                                             uint32_t length, uint32_t dataBytes,
                                             uint32_t seed = 1) {
    const size_t head = header.size();
    std::vector<uint8_t> file(head + 8 + dataBytes);
    std::copy(header.begin(), header.end(), file.begin());
    PutLe32(&file[head], address);
    PutLe32(&file[head + 4], length);
    for (uint32_t i = 0; i < dataBytes; ++i) {
        file[head + 8 + i] = PatternByte(i, seed);
    }
    return file;
}

// An LM-Q30 file with its seven records, region i holding pattern stream `seed + i`.
inline std::vector<uint8_t> MultiRegionFile(uint32_t seed) {
    std::vector<uint8_t> file = HeaderOf(kQ30);
    for (uint32_t i = 0; i < 7; ++i) {
        const auto [address, length] = kQ30Regions[i];
        const std::vector<uint8_t> record = SingleRegionFile({}, address, length, length, seed + i);
        file.insert(file.end(), record.begin(), record.end());
    }
    return file;
}

}  // namespace velloran::testing
