#include "cli/cli_app.h"

#include "catalogue/model_catalogue.h"
#include "cli/arguments.h"
#include "cli/cli_constants.h"
#include "cli/file_summary.h"
#include "cli/file_summary_json.h"
#include "cli/file_summary_text.h"
#include "cli/receive_target.h"
#include "cli/trace_file.h"
#include "cli/transfer_command.h"
#include "cli/usage.h"
#include "cli/verify_command.h"
#include "link/device_link.h"
#include "platform/file_name_rules.h"
#include "platform/printer_lock.h"
#include "velloran_version.h"

namespace velloran::cli {
namespace {

int UsageError(CliContext& context, const std::string& message) {
    context.err << kProgramName << ": " << message << '\n';
    return kExitUsage;
}

// Why a file the command names would not be the file written or read, or nothing.
std::optional<std::string> BadFileName(const Invocation& invocation) {
    for (const std::optional<std::string>* name :
         {&invocation.file, &invocation.secondFile, &invocation.trace}) {
        if (!*name) {
            continue;
        }
        switch (FileNameProblemHere(**name)) {
            case FileNameProblem::kStreamColon:
                return "\"" + **name +
                       "\": a file name may not hold ':' (Windows would write a hidden stream "
                       "of another file)";
            case FileNameProblem::kTrailingDotOrSpace:
                return "\"" + **name +
                       "\": a file name may not end with a dot or a space (Windows would drop "
                       "them and use another file)";
            case FileNameProblem::kNone:
                break;
        }
    }
    return std::nullopt;
}

int ListModels(CliContext& context) {
    for (const std::string& name : DisplayNames()) {
        context.out << name << '\n';
    }
    return kExitSuccess;
}

int Inspect(const Invocation& invocation, CliContext& context) {
    const std::string& path = *invocation.file;
    const std::optional<InspectReport> report = InspectFile(path);
    if (!report) {
        return UsageError(context, "cannot read \"" + path + "\"");
    }
    context.out << (invocation.json ? FormatInspectJson(*report) : FormatInspectReport(*report));
    return kExitSuccess;
}

// The indices at which a printer of the model answers, "N (in use)" where another
// transfer holds it; none is opened.
int ListDevices(const Invocation& invocation, CliContext& context) {
    const char* model = kModelCatalogue[invocation.modelIndex].displayName;
    CDeviceLink link(*context.environment.loader);
    if (link.Bind(static_cast<uint32_t>(invocation.modelIndex)) == 0) {
        context.err << kProgramName << ": the " << model << " driver library cannot be loaded\n";
        return kExitTransferFailed;
    }
    const std::vector<int32_t> indices = link.ActiveIndices();
    link.Unbind();
    if (indices.empty()) {
        context.err << kProgramName << ": no " << model << " printer answers\n";
        return kExitTransferFailed;
    }
    const std::string libraryFile = kModelCatalogue[invocation.modelIndex].libraryFile;
    for (int32_t index : indices) {
        context.out << index << (PrinterLockTaken(libraryFile, index) ? " (in use)" : "") << '\n';
    }
    return kExitSuccess;
}

// Runs a transfer command, with its trace when --trace names one.
int Transfer(const Invocation& invocation, const std::string& path, CliContext& context) {
    std::unique_ptr<std::ofstream> traceFile;
    std::optional<ExchangeTrace> trace;
    if (invocation.trace) {
        std::string error;
        traceFile = OpenTraceFile(*invocation.trace, path, error);
        if (!traceFile) {
            return UsageError(context, error);
        }
        trace.emplace(*traceFile, *context.environment.clock);
    }
    ExchangeTrace* observer = trace ? &*trace : nullptr;
    if (invocation.command == Command::kVerify) {
        return RunVerifyCommand(invocation, path, context, observer);
    }
    const int status = RunTransferCommand(invocation, path, context, observer);
    if (status != kExitSuccess || !invocation.verify) {
        return status;
    }
    return RunVerifyCommand(invocation, path, context, observer);
}

int Receive(const Invocation& invocation, CliContext& context) {
    const std::string path =
        ReceiveTargetPath(invocation.modelIndex, invocation.file, context.today);
    if (!MayWriteReceiveTarget(path, invocation.force)) {
        return UsageError(context, "\"" + path + "\" exists; add --force to replace it");
    }
    return Transfer(invocation, path, context);
}

int Run(const Invocation& invocation, CliContext& context) {
    switch (invocation.command) {
        case Command::kModels:
            return ListModels(context);
        case Command::kReceive:
            return Receive(invocation, context);
        case Command::kSend:
        case Command::kVerify:
            return Transfer(invocation, *invocation.file, context);
        case Command::kDiff:
            return RunDiffCommand(*invocation.file, *invocation.secondFile, context);
        case Command::kDevices:
            return ListDevices(invocation, context);
        case Command::kInspect:
            return Inspect(invocation, context);
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
    if (const std::optional<std::string> bad = BadFileName(*parsed.invocation)) {
        return UsageError(context, *bad);
    }
    return Run(*parsed.invocation, context);
}

}  // namespace velloran::cli
