#pragma once

// The printer models the simulated driver can stand in for: identity signature,
// memory map, seed tag and the name of the file that keeps their memory.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "sim/sim_constants.h"

namespace velloran::sim {

enum class ModelId : uint8_t { kLmQ30, kLmQ20, kLmQ10 };

struct Region {
    uint32_t start;
    uint32_t length;

    constexpr uint32_t End() const { return start + length; }
    constexpr bool Holds(uint32_t address) const { return address >= start && address < End(); }
};

using Signature = std::array<uint8_t, kSignatureLength>;

struct ModelInfo {
    ModelId id;
    std::string_view name;
    Signature signature;
    std::span<const Region> regions;
    uint8_t seedTag;
    std::string_view fileName;
};

const ModelInfo& DescribeModel(ModelId id);
const ModelInfo* FindModelBySignature(std::span<const uint8_t> signature);
const ModelInfo* FindModelByName(std::string_view name);

}  // namespace velloran::sim
