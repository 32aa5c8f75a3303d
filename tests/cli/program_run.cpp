#include "tests/cli/program_run.h"

#include <cstdlib>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include "tests/support/process_env.h"
#include "tests/support/sim_environment.h"

namespace velloran::testing {
namespace {

// The command interpreter's quote (no word of a test holds one), change of folder, the
// joint of two commands, and the null device for standard input.
#if defined(_WIN32)
constexpr char kQuote = '"';
constexpr const char* kChangeFolder = "cd /d ";
constexpr const char* kThen = " && ";
constexpr const char* kNoInput = " < NUL > ";
#else
constexpr char kQuote = '\'';
constexpr const char* kChangeFolder = "cd ";
constexpr const char* kThen = " && exec ";
constexpr const char* kNoInput = " < /dev/null > ";
#endif

std::string Slurp(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = ReadBytes(Utf8FromPath(path));
    return {bytes.begin(), bytes.end()};
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         const std::filesystem::path& workDir,
                         const std::filesystem::path& scratchDir) {
    for (const char* name : kSimFaultVariables) {
        UnsetEnvVar(name);
    }
    for (const auto& [name, value] : environment) {
        SetEnvVar(name.c_str(), value);
    }
    const std::filesystem::path out = scratchDir / "stdout.txt";
    const std::filesystem::path err = scratchDir / "stderr.txt";
    // Built by appending only: GCC 12 at -O3 warns falsely about chains of string sums.
    std::string command;
    const auto word = [&command](const std::string& text) {
        command.append(1, kQuote).append(text).append(1, kQuote);
    };
    command.append(kChangeFolder);
    word(workDir.string());
    command.append(kThen);
    word(program);
    for (const std::string& arg : args) {
        command.append(" ");
        word(arg);
    }
    command.append(kNoInput);
    word(out.string());
    command.append(" 2> ");
    word(err.string());
    const int status = std::system(command.c_str());
    ProgramResult result;
#if defined(_WIN32)
    result.exitStatus = status;
#else
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    result.out = Slurp(out);
    result.err = Slurp(err);
    return result;
}

}  // namespace velloran::testing
