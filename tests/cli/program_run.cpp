#include "tests/cli/program_run.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include "tests/support/process_env.h"
#include "tests/support/sim_environment.h"

namespace velloran::testing {
namespace {

// `text` as one word of the system's command interpreter.
std::string Quoted(const std::string& text) {
#if defined(_WIN32)
    return "\"" + text + "\"";
#else
    std::string quoted(1, '\'');
    for (const char c : text) {
        if (c == '\'') {
            quoted.append("'\\''");
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back('\'');
    return quoted;
#endif
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         const std::filesystem::path& workDir,
                         const std::filesystem::path& scratchDir) {
    // The child inherits this process's environment, set for the run and put back after.
    std::map<std::string, std::optional<std::string>> saved;
    for (const char* name : kSimFaultVariables) {
        UnsetEnvVar(name);
    }
    for (const auto& [name, value] : environment) {
        const char* old = std::getenv(name.c_str());
        saved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        SetEnvVar(name.c_str(), value);
    }
    // Built by appending only: GCC 12 at -O3 warns falsely about chains of string sums.
    const std::filesystem::path out = scratchDir / "stdout.txt";
    const std::filesystem::path err = scratchDir / "stderr.txt";
    std::string command;
#if defined(_WIN32)
    command.append("cd /d ").append(Quoted(workDir.string())).append(" && ");
    const char* nullDevice = "NUL";
#else
    command.append("cd ").append(Quoted(workDir.string())).append(" && exec ");
    const char* nullDevice = "/dev/null";
#endif
    command.append(Quoted(program));
    for (const std::string& arg : args) {
        command.append(" ").append(Quoted(arg));
    }
    command.append(" < ").append(nullDevice).append(" > ").append(Quoted(out.string()));
    command.append(" 2> ").append(Quoted(err.string()));
    const int status = std::system(command.c_str());
    for (const auto& [name, value] : saved) {
        value ? SetEnvVar(name.c_str(), *value) : UnsetEnvVar(name.c_str());
    }
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
