#pragma once

// Recognises what one write to the printer carries: a frame of a known kind with its
// fields, a read request, or something malformed.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace velloran::sim {

enum class FrameKind : uint8_t {
    kMalformed,
    kOpen,
    kAddress,  // an address frame at the control register
    kControl00,
    kSetup,
    kControl05,
    kTarget,  // an address frame anywhere else
    kData,
    kControl07,
    kRead8,
    kRead64,
};
inline constexpr size_t kFrameKindCount = static_cast<size_t>(FrameKind::kRead64) + 1;

struct Frame {
    FrameKind kind = FrameKind::kMalformed;
    uint32_t address = 0;              // address, target and setup frames
    uint32_t setupValue = 0;           // setup frames
    std::span<const uint8_t> payload;  // the signature of an open frame, a data frame's bytes
};

Frame ParseFrame(std::span<const uint8_t> bytes);

// The kind named `name` ("open", "data", "read64", ...); malformed has no name.
std::optional<FrameKind> FrameKindFromName(std::string_view name);

}  // namespace velloran::sim
