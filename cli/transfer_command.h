#pragma once

#include <string>

#include "cli/arguments.h"
#include "cli/cli_context.h"
#include "jobs/exchange_trace.h"
#include "jobs/transfer_session.h"

namespace velloran::cli {

// A transfer of `path` with the invocation's device index and the trace (when one is
// written) watching its exchanges.
struct CliTransfer {
    TransferRequest request;
    TransferOptions options;
};
CliTransfer TransferFor(const Invocation& invocation, int32_t direction, const std::string& path,
                        ExchangeTrace* trace);

// Runs a transfer through the core's transfer session, drawing the progress bar when
// standard error is a terminal.
Outcome RunWithProgress(const CliTransfer& transfer, CliContext& context);

// Runs a receive or send of `path` and prints the outcome text: to standard output on
// success (exit 0), to standard error on failure (exit 1). A send of a file the file tests
// refuse first says why on standard error. The trace, if any, ends with the outcome.
int RunTransferCommand(const Invocation& invocation, const std::string& path, CliContext& context,
                       ExchangeTrace* trace = nullptr);

// The outcome text, printed where it belongs and noted in the trace; the exit status.
int ReportOutcome(const Outcome& outcome, CliContext& context, ExchangeTrace* trace);

// Says on standard error why the file tests refuse `path` for `modelIndex`, if they do.
void SayWhyRefused(const std::string& path, int32_t modelIndex, CliContext& context);

}  // namespace velloran::cli
