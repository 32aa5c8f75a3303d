#pragma once

#include <string>

#include "cli/file_summary.h"

namespace velloran::cli {

// The inspect report as one JSON object, for scripts: path, size, header (hex) and the
// model it names, expected size, record heads, and per model whether a send would start
// and, if not, why. Absent facts are null; numbers are decimal.
std::string FormatInspectJson(const InspectReport& report);

}  // namespace velloran::cli
