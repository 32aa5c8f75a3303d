#pragma once

#include <string>

namespace velloran::cli {

// The text that --help prints: the commands, the options and the exit statuses.
std::string UsageText();

}  // namespace velloran::cli
