#include "cli/transfer_command.h"

#include <memory>

#include "cli/cli_constants.h"
#include "cli/progress_bar.h"
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

Outcome Transfer(const TransferRequest& request, CliContext& context) {
    if (!context.errIsTerminal) {
        SilentProgress silent;
        return RunTransfer(request, silent, context.environment);
    }
    const uint32_t bytesPerStep =
        request.direction == kDirectionSend ? kSendBytesPerStep : kReceiveBytesPerStep;
    TerminalProgressBar bar(context.err, *context.environment.clock, bytesPerStep);
    const Outcome outcome = RunTransfer(request, bar, context.environment);
    bar.Finish();
    return outcome;
}

}  // namespace

int RunTransferCommand(const Invocation& invocation, const std::string& path, CliContext& context) {
    TransferRequest request;
    request.modelIndex = invocation.modelIndex;
    request.direction = invocation.command == Command::kSend ? kDirectionSend : kDirectionReceive;
    request.filePath = path;
    const Outcome outcome = Transfer(request, context);
    if (outcome.success) {
        context.out << OutcomeText(outcome) << '\n' << std::flush;
        return kExitSuccess;
    }
    context.err << OutcomeText(outcome) << '\n' << std::flush;
    return kExitTransferFailed;
}

}  // namespace velloran::cli
