#include "sim/sim_memory.h"

#include <algorithm>

namespace velloran::sim {

uint8_t SeedByte(uint32_t address, uint8_t seedTag) {
    return static_cast<uint8_t>((address * kSeedMultiplier) >> kSeedShift) ^ seedTag;
}

MemoryImage::MemoryImage(const ModelInfo& model, uint8_t seedSalt) : model_(&model) {
    for (const Region& region : model.regions) {
        for (uint32_t address = region.start; address < region.End(); ++address) {
            bytes_.push_back(SeedByte(address, model.seedTag) ^ seedSalt);
        }
    }
}

const Region* MemoryImage::RegionOf(uint32_t address) const {
    for (const Region& region : model_->regions) {
        if (region.Holds(address)) {
            return &region;
        }
    }
    return nullptr;
}

bool MemoryImage::Spans(uint32_t address, uint32_t length) const {
    const Region* region = RegionOf(address);
    return region != nullptr && length <= region->End() - address;
}

size_t MemoryImage::OffsetOf(uint32_t address) const {
    size_t offset = 0;
    for (const Region& region : model_->regions) {
        if (region.Holds(address)) {
            return offset + (address - region.start);
        }
        offset += region.length;
    }
    return offset;
}

void MemoryImage::Write(uint32_t address, std::span<const uint8_t> data) {
    std::ranges::copy(data, bytes_.begin() + static_cast<std::ptrdiff_t>(OffsetOf(address)));
    dirty_ = true;
}

std::vector<uint8_t> MemoryImage::Read(uint32_t address, uint32_t length) const {
    auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(OffsetOf(address));
    return std::vector<uint8_t>(first, first + length);
}

bool MemoryImage::Restore(std::span<const uint8_t> stored) {
    if (stored.size() != bytes_.size()) {
        return false;
    }
    std::ranges::copy(stored, bytes_.begin());
    return true;
}

}  // namespace velloran::sim
