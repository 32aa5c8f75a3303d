#pragma once

#include <string>

#include "cli/arguments.h"
#include "cli/cli_context.h"

namespace velloran::cli {

// Runs a receive or send of `path` through the core's transfer session, drawing the
// progress bar when standard error is a terminal, and prints the outcome text: to
// standard output on success (exit 0), to standard error on failure (exit 1).
int RunTransferCommand(const Invocation& invocation, const std::string& path, CliContext& context);

}  // namespace velloran::cli
