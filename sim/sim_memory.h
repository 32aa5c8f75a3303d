#pragma once

// One model's memory: its regions laid end to end in a single buffer, seeded with a
// deterministic pattern until real contents are restored or written.

#include <cstdint>
#include <span>
#include <vector>

#include "sim/sim_models.h"

namespace velloran::sim {

// The seed byte at `address` of a model with tag `seedTag`.
uint8_t SeedByte(uint32_t address, uint8_t seedTag);

class MemoryImage {
  public:
    explicit MemoryImage(const ModelInfo& model, uint8_t seedSalt = 0);

    const ModelInfo& model() const { return *model_; }
    std::span<const uint8_t> bytes() const { return bytes_; }
    bool dirty() const { return dirty_; }
    void MarkClean() { dirty_ = false; }

    // The region holding `address`, or nullptr.
    const Region* RegionOf(uint32_t address) const;
    // True when all `length` bytes from `address` lie in one region.
    bool Spans(uint32_t address, uint32_t length) const;

    // Both require Spans(address, length).
    void Write(uint32_t address, std::span<const uint8_t> data);
    std::vector<uint8_t> Read(uint32_t address, uint32_t length) const;

    // Replaces the contents with `stored`; false (contents kept) when its size is wrong.
    bool Restore(std::span<const uint8_t> stored);

  private:
    size_t OffsetOf(uint32_t address) const;

    const ModelInfo* model_;
    std::vector<uint8_t> bytes_;
    bool dirty_ = false;
};

}  // namespace velloran::sim
