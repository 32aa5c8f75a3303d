#pragma once

#include <cstdint>
#include <string>

namespace velloran::cli {

// One moment of a transfer, as the progress line shows it.
struct ProgressSnapshot {
    uint32_t position = 0;
    uint32_t range = 0;
    uint32_t elapsedMs = 0;
    uint64_t totalBytes = 0;  // the bytes a full range moves
};

// "[#######.......]  25%  12.5 KiB/s  0:21 left": bar, percentage, speed, time left.
// Speed and time left read "--" until a step has been timed.
std::string FormatProgressLine(const ProgressSnapshot& snapshot);

// "850 B/s", "12.5 KiB/s", "1.2 MiB/s".
std::string FormatSpeed(double bytesPerSecond);

// "0:07", "12:34", "1:02:03".
std::string FormatDuration(uint32_t seconds);

}  // namespace velloran::cli
