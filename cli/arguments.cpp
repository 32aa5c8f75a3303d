#include "cli/arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <string_view>

#include "catalogue/model_catalogue.h"
#include "cli/cli_constants.h"
#include "link/driver_api.h"

namespace velloran::cli {
namespace {

constexpr std::string_view kEndOfOptions = "--";

// The options, each a bit of the set a command takes.
enum OptionBit : uint32_t {
    kForce = 1u << 0,
    kVerify = 1u << 1,
    kJson = 1u << 2,
    kTrace = 1u << 3,
    kDevice = 1u << 4,
};

struct OptionShape {
    std::string_view name;
    OptionBit bit;
    bool takesValue;
};

constexpr std::array<OptionShape, 5> kOptions{{
    {"--force", kForce, false},
    {"--verify", kVerify, false},
    {"--json", kJson, false},
    {"--trace", kTrace, true},
    {"--device", kDevice, true},
}};

// The shape of one command: how many plain arguments it takes, whether the first names a
// model, and which options it takes.
struct CommandShape {
    std::string_view name;
    Command command;
    size_t minArguments;
    size_t maxArguments;
    bool firstIsModel;
    uint32_t options;
    std::string_view synopsis;
};

constexpr std::array<CommandShape, 8> kShapes{{
    {"models", Command::kModels, 0, 0, false, 0, "models"},
    {"receive", Command::kReceive, 1, 2, true, kForce | kTrace | kDevice,
     "receive MODEL [FILE] [--force] [--trace TRACE] [--device N]"},
    {"send", Command::kSend, 2, 2, true, kVerify | kTrace | kDevice,
     "send MODEL FILE [--verify] [--trace TRACE] [--device N]"},
    {"verify", Command::kVerify, 2, 2, true, kTrace | kDevice,
     "verify MODEL FILE [--trace TRACE] [--device N]"},
    {"diff", Command::kDiff, 2, 2, false, 0, "diff A.vid B.vid"},
    {"devices", Command::kDevices, 1, 1, true, 0, "devices MODEL"},
    {"inspect", Command::kInspect, 1, 1, false, kJson, "inspect FILE [--json]"},
    {"help", Command::kHelp, 0, 0, false, 0, "help"},
}};

// The command's plain arguments and options, split apart.
struct SplitArguments {
    std::vector<std::string> plain;
    uint32_t options = 0;
    std::string trace;
    std::string device;
    std::string problem;  // the first option that is unknown or lacks its value
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

const OptionShape* FindOption(std::string_view name) {
    for (const OptionShape& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

void Note(SplitArguments& split, std::string problem) {
    if (split.problem.empty()) {
        split.problem = std::move(problem);  // the first one is reported
    }
}

SplitArguments Split(const std::vector<std::string>& args) {
    SplitArguments split;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const OptionShape* option = optionsEnded ? nullptr : FindOption(arg);
        if (!optionsEnded && arg == kEndOfOptions) {
            optionsEnded = true;
        } else if (option != nullptr) {
            split.options |= option->bit;
            if (option->takesValue && i + 1 >= args.size()) {
                Note(split, std::string(option->name) + " needs a value");
            } else if (option->takesValue) {
                (option->bit == kTrace ? split.trace : split.device) = args[++i];
            }
        } else if (!optionsEnded && LooksLikeOption(arg)) {
            Note(split, "unknown option \"" + arg + "\"");
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

std::string CommandsTaking(uint32_t bit) {
    std::string names;
    for (const CommandShape& shape : kShapes) {
        if ((shape.options & bit) != 0) {
            names += (names.empty() ? "" : ", ") + std::string(shape.name);
        }
    }
    return names;
}

std::string CheckShape(const CommandShape& shape, const SplitArguments& split) {
    const std::string usage =
        "usage: " + std::string(kProgramName) + " " + std::string(shape.synopsis);
    if (!split.problem.empty()) {
        return split.problem + "; " + usage;
    }
    for (const OptionShape& option : kOptions) {
        if ((split.options & option.bit) != 0 && (shape.options & option.bit) == 0) {
            return std::string(option.name) + " is only for " + CommandsTaking(option.bit) + "; " +
                   usage;
        }
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

std::optional<int32_t> ParseDeviceIndex(const std::string& text) {
    int32_t index = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || index < 0 ||
        index >= kDeviceIndexCount) {
        return std::nullopt;
    }
    return index;
}

ParsedArguments Build(const CommandShape& shape, const SplitArguments& split) {
    Invocation invocation;
    invocation.command = shape.command;
    invocation.force = (split.options & kForce) != 0;
    invocation.verify = (split.options & kVerify) != 0;
    invocation.json = (split.options & kJson) != 0;
    if ((split.options & kTrace) != 0) {
        if (split.trace.empty()) {
            return Failure("empty --trace file name");
        }
        invocation.trace = split.trace;
    }
    if ((split.options & kDevice) != 0) {
        const std::optional<int32_t> device = ParseDeviceIndex(split.device);
        if (!device) {
            return Failure("--device takes an index from 0 to " +
                           std::to_string(kDeviceIndexCount - 1) + ", not \"" + split.device +
                           "\"");
        }
        invocation.device = device;
    }
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
        invocation.file = split.plain[next++];
    }
    if (next < split.plain.size()) {
        invocation.secondFile = split.plain[next];
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
