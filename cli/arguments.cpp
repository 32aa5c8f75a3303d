#include "cli/arguments.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

#include "catalogue/model_catalogue.h"
#include "cli/cli_constants.h"

namespace velloran::cli {
namespace {

constexpr std::string_view kForceOption = "--force";
constexpr std::string_view kEndOfOptions = "--";

// The shape of one command: how many plain arguments it takes, whether the first names a
// model, and whether it takes --force.
struct CommandShape {
    std::string_view name;
    Command command;
    size_t minArguments;
    size_t maxArguments;
    bool firstIsModel;
    bool takesForce;
    std::string_view synopsis;
};

constexpr std::array<CommandShape, 5> kShapes{{
    {"models", Command::kModels, 0, 0, false, false, "models"},
    {"receive", Command::kReceive, 1, 2, true, true, "receive MODEL [FILE] [--force]"},
    {"send", Command::kSend, 2, 2, true, false, "send MODEL FILE"},
    {"inspect", Command::kInspect, 1, 1, false, false, "inspect FILE"},
    {"help", Command::kHelp, 0, 0, false, false, "help"},
}};

// The command's plain arguments and options, split apart.
struct SplitArguments {
    std::vector<std::string> plain;
    bool force = false;
    std::string unknownOption;
};

ParsedArguments Failure(std::string error) {
    return {std::nullopt, std::move(error)};
}

// Whether one of `options` stands before `--`.
bool AsksFor(const std::vector<std::string>& args,
             std::initializer_list<std::string_view> options) {
    const auto end = std::find(args.begin(), args.end(), kEndOfOptions);
    return std::any_of(args.begin(), end, [&](const std::string& a) {
        return std::find(options.begin(), options.end(), a) != options.end();
    });
}

bool LooksLikeOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

SplitArguments Split(const std::vector<std::string>& args) {
    SplitArguments split;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == kEndOfOptions) {
            optionsEnded = true;
        } else if (!optionsEnded && arg == kForceOption) {
            split.force = true;
        } else if (!optionsEnded && LooksLikeOption(arg)) {
            if (split.unknownOption.empty()) {
                split.unknownOption = arg;  // the first one is reported
            }
        } else {
            split.plain.push_back(arg);
        }
    }
    return split;
}

const CommandShape* FindShape(std::string_view name) {
    for (const CommandShape& shape : kShapes) {
        if (shape.name == name) {
            return &shape;
        }
    }
    return nullptr;
}

std::string ModelList() {
    std::string list;
    for (const std::string& name : DisplayNames()) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return list;
}

std::string CheckShape(const CommandShape& shape, const SplitArguments& split) {
    const std::string usage =
        "usage: " + std::string(kProgramName) + " " + std::string(shape.synopsis);
    if (!split.unknownOption.empty()) {
        return "unknown option \"" + split.unknownOption + "\"; " + usage;
    }
    if (split.force && !shape.takesForce) {
        return "--force is only for receive; " + usage;
    }
    if (split.plain.size() < shape.minArguments) {
        return "missing argument; " + usage;
    }
    if (split.plain.size() > shape.maxArguments) {
        return "too many arguments; " + usage;
    }
    const bool emptyArgument = std::any_of(split.plain.begin(), split.plain.end(),
                                           [](const std::string& a) { return a.empty(); });
    return emptyArgument ? "empty argument; " + usage : "";
}

ParsedArguments Build(const CommandShape& shape, const SplitArguments& split) {
    Invocation invocation;
    invocation.command = shape.command;
    invocation.force = split.force;
    size_t next = 0;
    if (shape.firstIsModel) {
        const std::optional<int32_t> index = FindModelByDisplayName(split.plain[next]);
        if (!index) {
            return Failure("unknown model \"" + split.plain[next] + "\"; models: " + ModelList());
        }
        invocation.modelIndex = *index;
        ++next;
    }
    if (next < split.plain.size()) {
        invocation.file = split.plain[next];
    }
    return {invocation, ""};
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    if (AsksFor(args, {"--help", "-h"})) {
        return {Invocation{}, ""};
    }
    if (AsksFor(args, {"--version"})) {
        Invocation version;
        version.command = Command::kVersion;
        return {version, ""};
    }
    if (args.empty()) {
        return Failure("no command given; try " + std::string(kProgramName) + " --help");
    }
    const CommandShape* shape = FindShape(args[0]);
    if (shape == nullptr) {
        return Failure("unknown command \"" + args[0] + "\"; try " + std::string(kProgramName) +
                       " --help");
    }
    const SplitArguments split = Split(args);
    std::string problem = CheckShape(*shape, split);
    return problem.empty() ? Build(*shape, split) : Failure(std::move(problem));
}

}  // namespace velloran::cli
