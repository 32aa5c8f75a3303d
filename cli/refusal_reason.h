#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/file_summary.h"

namespace velloran::cli {

// Why the dispatcher refuses a send of the inspected file to the model at `modelIndex`,
// in a few words, from the reason its file verdict carries: wrong size (with both sizes),
// unknown header, or a model that does not take the file. Nothing when the send would
// start.
std::optional<std::string> RefusalReasonOf(const InspectReport& report, int32_t modelIndex);

// The same for the file at `path`, which may also be missing or unreadable.
std::optional<std::string> RefusalReason(const std::string& path, int32_t modelIndex);

}  // namespace velloran::cli
