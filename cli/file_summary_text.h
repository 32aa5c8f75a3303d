#pragma once

#include <string>

#include "cli/file_summary.h"

namespace velloran::cli {

// The report as the inspect command prints it: file, size, header, records, then one
// line per model telling whether a send of the file would start.
std::string FormatInspectReport(const InspectReport& report);

}  // namespace velloran::cli
