#include "cli/verify_command.h"

#include "cli/cli_constants.h"
#include "cli/comparison_text.h"
#include "cli/refusal_reason.h"
#include "cli/transfer_command.h"
#include "jobs/backup_compare.h"
#include "jobs/outcome.h"
#include "jobs/transfer_context.h"

namespace velloran::cli {
namespace {

int ReportComparison(const ImageComparison& comparison, SideNames names, CliContext& context,
                     ExchangeTrace* trace) {
    const std::string text = FormatComparison(comparison, names);
    if (trace != nullptr) {
        trace->Note("verify: " + text.substr(0, text.find('\n')));
    }
    context.out << text << std::flush;
    return comparison.Identical() ? kExitSuccess : kExitDiffers;
}

// Why a file is refused for a diff: against its own model, or, across layouts, the LM-Q30.
std::string DiffRefusal(const std::string& path) {
    const std::optional<int32_t> model = ModelOfBackup(path);
    std::optional<std::string> reason = RefusalReason(path, model.value_or(kMultiRegionModelIndex));
    if (!reason) {
        reason = RefusalReason(path, kMultiRegionModelIndex);
    }
    return reason.value_or("refused");
}

}  // namespace

int RunVerifyCommand(const Invocation& invocation, const std::string& path, CliContext& context,
                     ExchangeTrace* trace) {
    if (!SegmentsASendWrites(path, invocation.modelIndex)) {
        SayWhyRefused(path, invocation.modelIndex, context);
        return ReportOutcome(Outcome::Failed(IDS_SEND_FAILED, kNoDetail), context, trace);
    }
    MemoryReceiveSink received;
    CliTransfer transfer = TransferFor(invocation, kDirectionReceive, "", trace);
    transfer.options.receiveSink = &received;
    const Outcome outcome = RunWithProgress(transfer, context);
    if (!outcome.success) {
        return ReportOutcome(outcome, context, trace);
    }
    const std::optional<ImageComparison> comparison =
        VerifyAgainstReceived(path, invocation.modelIndex, received.Bytes());
    if (!comparison) {
        SayWhyRefused(path, invocation.modelIndex, context);
        return ReportOutcome(Outcome::Failed(IDS_SEND_FAILED, kNoDetail), context, trace);
    }
    return ReportComparison(*comparison, {"file", "printer"}, context, trace);
}

int RunDiffCommand(const std::string& first, const std::string& second, CliContext& context) {
    const BackupDiff diff = DiffBackups(first, second);
    if (diff.refusedFile != 0) {
        const std::string& path = diff.refusedFile == 1 ? first : second;
        context.err << kProgramName << ": " << path << ": " << DiffRefusal(path) << '\n';
        return kExitUsage;
    }
    return ReportComparison(diff.comparison, {"A", "B"}, context, nullptr);
}

}  // namespace velloran::cli
