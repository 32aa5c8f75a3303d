#pragma once

#include <span>
#include <string>

#include "bench/measurement.h"

namespace velloran::bench {

// The figures a measurement is judged by. The floor is what the exchanges must take at
// least: each waits one poll interval before its first read.
struct Derived {
    double floorSeconds = 0;
    double wallOverFloor = 0;
    double overheadMicrosPerExchange = 0;  // wall time above the floor, per exchange
    double cpuOverWall = 0;
};

Derived Derive(const Measurement& m);

// A Markdown table, one row per measurement, with a header row.
std::string FormatTable(std::span<const Measurement> measurements);

}  // namespace velloran::bench
