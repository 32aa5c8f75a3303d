#include "cli/cli_app.h"

#include "catalogue/model_catalogue.h"
#include "cli/arguments.h"
#include "cli/cli_constants.h"
#include "cli/file_summary.h"
#include "cli/file_summary_text.h"
#include "cli/receive_target.h"
#include "cli/transfer_command.h"
#include "cli/usage.h"
#include "velloran_version.h"

namespace velloran::cli {
namespace {

int UsageError(CliContext& context, const std::string& message) {
    context.err << kProgramName << ": " << message << '\n';
    return kExitUsage;
}

int ListModels(CliContext& context) {
    for (const std::string& name : DisplayNames()) {
        context.out << name << '\n';
    }
    return kExitSuccess;
}

int Inspect(const std::string& path, CliContext& context) {
    const std::optional<InspectReport> report = InspectFile(path);
    if (!report) {
        return UsageError(context, "cannot read \"" + path + "\"");
    }
    context.out << FormatInspectReport(*report);
    return kExitSuccess;
}

int Receive(const Invocation& invocation, CliContext& context) {
    const std::string path =
        ReceiveTargetPath(invocation.modelIndex, invocation.file, context.today);
    if (!MayWriteReceiveTarget(path, invocation.force)) {
        return UsageError(context, "\"" + path + "\" exists; add --force to replace it");
    }
    return RunTransferCommand(invocation, path, context);
}

int Run(const Invocation& invocation, CliContext& context) {
    switch (invocation.command) {
        case Command::kModels:
            return ListModels(context);
        case Command::kReceive:
            return Receive(invocation, context);
        case Command::kSend:
            return RunTransferCommand(invocation, *invocation.file, context);
        case Command::kInspect:
            return Inspect(*invocation.file, context);
        case Command::kVersion:
            context.out << kProgramName << " " << VELLORAN_VERSION << "\n";
            return kExitSuccess;
        case Command::kHelp:
            break;
    }
    context.out << UsageText();
    return kExitSuccess;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliContext& context) {
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.invocation) {
        return UsageError(context, parsed.error);
    }
    return Run(*parsed.invocation, context);
}

}  // namespace velloran::cli
