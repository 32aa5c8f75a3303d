#pragma once

#include <string>

#include "jobs/image_compare.h"

namespace velloran::cli {

// How many differing ranges are listed before the rest are only counted.
inline constexpr size_t kListedRanges = 20;

// What the two sides of a comparison are called: "file" and "printer", or "A" and "B".
struct SideNames {
    const char* expected;
    const char* actual;
};

// "identical", or a count line and one line per differing range: its printer address,
// its length and its first bytes on each side; after 20 ranges, how many more differ.
std::string FormatComparison(const ImageComparison& comparison, SideNames names);

}  // namespace velloran::cli
