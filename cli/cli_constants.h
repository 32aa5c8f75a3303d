#pragma once

#include <cstdint>

#include "link/frame_exchange.h"

namespace velloran::cli {

inline constexpr const char* kProgramName = "velloran-cli";

// Exit statuses: scripts rely on these values.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitTransferFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitDiffers = 3;  // verify or diff found differences

// The progress bar: its width in cells, the least time between two redraws, and the
// width a line is padded to so that a shorter line hides the end of a longer one.
inline constexpr uint32_t kBarCells = 30;
inline constexpr uint32_t kRedrawIntervalMs = 100;
inline constexpr uint32_t kProgressLineWidth = 72;

}  // namespace velloran::cli
