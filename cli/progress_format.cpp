#include "cli/progress_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/cli_constants.h"

namespace velloran::cli {
namespace {

constexpr double kKibi = 1024.0;
constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint32_t kSecondsPerHour = 3600;
constexpr double kMsPerSecond = 1000.0;
constexpr const char* kUnknown = "--";

uint32_t ClampedPosition(const ProgressSnapshot& s) {
    return std::min(s.position, s.range);
}

std::string Bar(const ProgressSnapshot& s) {
    const uint64_t filled =
        s.range == 0 ? 0 : static_cast<uint64_t>(ClampedPosition(s)) * kBarCells / s.range;
    std::string bar(kBarCells + 2, '.');
    bar.front() = '[';
    bar.back() = ']';
    bar.replace(1, filled, filled, '#');
    return bar;
}

uint32_t Percent(const ProgressSnapshot& s) {
    return s.range == 0
               ? 0
               : static_cast<uint32_t>(static_cast<uint64_t>(ClampedPosition(s)) * 100 / s.range);
}

std::string Printf(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string FormatDuration(uint32_t seconds) {
    char text[32];
    const uint32_t hours = seconds / kSecondsPerHour;
    const uint32_t minutes = seconds % kSecondsPerHour / kSecondsPerMinute;
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%u:%02u:%02u", hours, minutes,
                      seconds % kSecondsPerMinute);
    } else {
        std::snprintf(text, sizeof text, "%u:%02u", minutes, seconds % kSecondsPerMinute);
    }
    return text;
}

std::string FormatSpeed(double bytes) {
    if (bytes < kKibi) {
        return Printf("%.0f B/s", bytes);
    }
    if (bytes < kKibi * kKibi) {
        return Printf("%.1f KiB/s", bytes / kKibi);
    }
    return Printf("%.1f MiB/s", bytes / (kKibi * kKibi));
}

std::string FormatProgressLine(const ProgressSnapshot& s) {
    char percent[8];
    std::snprintf(percent, sizeof percent, " %3u%%  ", Percent(s));
    std::string line = Bar(s);
    line.append(percent);
    const uint32_t done = ClampedPosition(s);
    if (s.elapsedMs == 0 || done == 0) {
        line.append(kUnknown).append("  ").append(kUnknown);
    } else {
        const double stepsPerSecond = done * kMsPerSecond / s.elapsedMs;
        const double secondsLeft = (s.range - done) / stepsPerSecond;
        const double bytesPerSecond = stepsPerSecond * static_cast<double>(s.totalBytes) / s.range;
        line.append(FormatSpeed(bytesPerSecond)).append("  ");
        line.append(FormatDuration(static_cast<uint32_t>(std::ceil(secondsLeft))));
    }
    return line.append(" left");
}

}  // namespace velloran::cli
