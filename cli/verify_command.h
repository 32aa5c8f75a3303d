#pragma once

#include <string>

#include "cli/arguments.h"
#include "cli/cli_context.h"
#include "jobs/exchange_trace.h"

namespace velloran::cli {

// Reads the printer's memory the way a receive does, into memory, and compares it with
// what a send of `path` writes. Prints "identical" (exit 0) or the differing ranges
// (exit 3); a file the send would refuse, or a read that fails, is exit 1 with the
// outcome text.
int RunVerifyCommand(const Invocation& invocation, const std::string& path, CliContext& context,
                     ExchangeTrace* trace = nullptr);

// Compares two backups by printer address and prints the result as verify does; a file
// the file tests refuse is exit 2, with the reason.
int RunDiffCommand(const std::string& first, const std::string& second, CliContext& context);

}  // namespace velloran::cli
