#pragma once

#include <cstdint>

namespace velloran {

// Which frame failed: the command byte (or read request byte) in the low 16 bits, a
// sub-code in the high 16 bits; 0 for no detail.
using FailureDetail = uint32_t;

constexpr FailureDetail MakeFailureDetail(uint8_t commandByte, uint16_t subCode) {
    return static_cast<FailureDetail>(subCode) * 0x10000u + commandByte;
}

inline constexpr FailureDetail kNoDetail = 0;

}  // namespace velloran
