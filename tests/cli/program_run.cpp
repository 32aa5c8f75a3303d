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
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
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
#if defined(_WIN32)
    std::string command = "cd /d " + Quoted(workDir.string()) + " && " + Quoted(program);
    const std::string nullDevice = "NUL";
#else
    std::string command = "cd " + Quoted(workDir.string()) + " && exec " + Quoted(program);
    const std::string nullDevice = "/dev/null";
#endif
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    const std::filesystem::path out = scratchDir / "stdout.txt";
    const std::filesystem::path err = scratchDir / "stderr.txt";
    command += " < " + nullDevice + " > " + Quoted(out.string()) + " 2> " + Quoted(err.string());
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
