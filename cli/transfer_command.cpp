#include "cli/transfer_command.h"

#include "cli/cli_constants.h"
#include "cli/progress_bar.h"
#include "cli/refusal_reason.h"
#include "jobs/dispatcher.h"
#include "jobs/outcome.h"
#include "jobs/transfer_context.h"

namespace velloran::cli {
namespace {

// Progress for an output that is not a terminal: nothing is drawn.
class SilentProgress final : public ProgressSink {
  public:
    void SetRange(uint32_t) override {}
    void SetStep(uint32_t) override {}
    void SetPosition(uint32_t) override {}
    void Step() override {}
};

}  // namespace

CliTransfer TransferFor(const Invocation& invocation, int32_t direction, const std::string& path,
                        ExchangeTrace* trace) {
    CliTransfer transfer;
    transfer.request.modelIndex = invocation.modelIndex;
    transfer.request.direction = direction;
    transfer.request.filePath = path;
    transfer.options.deviceIndex = invocation.device;
    transfer.options.observer = trace;
    return transfer;
}

Outcome RunWithProgress(const CliTransfer& cliTransfer, CliContext& context) {
    CliTransfer transfer = cliTransfer;
    transfer.options.hold = &context.printerHold;
    if (!context.errIsTerminal) {
        SilentProgress silent;
        return RunTransfer(transfer.request, silent, context.environment, transfer.options);
    }
    // The speed counts bytes of memory, not progress steps: a step stands for 8 bytes in
    // one job, 64 in another and a frame in a send.
    const TransferRequest& request = transfer.request;
    const uint64_t bytes =
        TransferByteCount(request.modelIndex, request.direction, request.filePath);
    TerminalProgressBar bar(context.err, *context.environment.clock, bytes);
    const Outcome outcome = RunTransfer(request, bar, context.environment, transfer.options);
    bar.Finish();
    return outcome;
}

void SayWhyRefused(const std::string& path, int32_t modelIndex, CliContext& context) {
    if (const auto reason = RefusalReason(path, modelIndex)) {
        context.err << kProgramName << ": " << path << ": " << *reason << '\n';
    }
}

int ReportOutcome(const Outcome& outcome, CliContext& context, ExchangeTrace* trace) {
    const std::string text = OutcomeText(outcome);
    if (trace != nullptr) {
        trace->Note("outcome: " + text);
    }
    (outcome.success ? context.out : context.err) << text << '\n' << std::flush;
    return outcome.success ? kExitSuccess : kExitTransferFailed;
}

int RunTransferCommand(const Invocation& invocation, const std::string& path, CliContext& context,
                       ExchangeTrace* trace) {
    const bool send = invocation.command == Command::kSend;
    const Outcome outcome = RunWithProgress(
        TransferFor(invocation, send ? kDirectionSend : kDirectionReceive, path, trace), context);
    if (send && !outcome.success && outcome.outcomeId == IDS_SEND_FAILED) {
        SayWhyRefused(path, invocation.modelIndex, context);
    }
    return ReportOutcome(outcome, context, trace);
}

}  // namespace velloran::cli
