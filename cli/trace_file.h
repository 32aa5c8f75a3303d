#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace velloran::cli {

// Opens the trace file the user named with --trace, emptying it. Refused, with the reason
// in `error`, when it is the transfer's backup file (or the partial file a receive builds
// beside it), when something other than a regular file stands there, or when it cannot be
// opened for writing.
std::unique_ptr<std::ofstream> OpenTraceFile(const std::string& tracePath,
                                             const std::string& backupPath, std::string& error);

}  // namespace velloran::cli
