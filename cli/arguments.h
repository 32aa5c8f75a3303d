#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velloran::cli {

enum class Command {
    kHelp,
    kVersion,
    kModels,
    kReceive,
    kSend,
    kInspect,
    kVerify,
    kDiff,
    kDevices,
};

// What the command line asks for, once it has been checked.
struct Invocation {
    Command command = Command::kHelp;
    int32_t modelIndex = -1;                // catalogue index; receive and send only
    std::optional<std::string> file;        // absent only for a receive to the default name
    std::optional<std::string> secondFile;  // diff: the backup compared with `file`
    bool force = false;                     // receive: replace an existing file
    bool verify = false;                    // send: verify once the send succeeded
    bool json = false;                      // inspect: the analysis for scripts
    std::optional<std::string> trace;       // receive, send, verify: one line per exchange
    std::optional<int32_t> device;          // receive, send, verify: this device index

    bool operator==(const Invocation&) const = default;
};

// An invocation, or the reason why the command line is not one.
struct ParsedArguments {
    std::optional<Invocation> invocation;
    std::string error;
};

// Checks the arguments that follow the program name. `--help` (or `-h`) anywhere before
// `--` asks for help; `--` ends the options, so a file name may begin with a dash.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

}  // namespace velloran::cli
