#pragma once

#include <string>
#include <vector>

#include "cli/cli_context.h"

namespace velloran::cli {

// The whole command-line program below main(): checks the arguments (the ones after the
// program name), runs the command and returns the exit status.
int RunCli(const std::vector<std::string>& args, CliContext& context);

}  // namespace velloran::cli
