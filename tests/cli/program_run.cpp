#include "tests/cli/program_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

extern char** environ;

namespace velloran::testing {
namespace {

constexpr const char* kSimVariablePrefix = "VELLORAN_SIM_";
constexpr int kExecFailed = 127;

std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (name.rfind(kSimVariablePrefix, 0) != 0 && extra.count(name) == 0) {
            entries.push_back(text);
        }
    }
    for (const auto& [name, value] : extra) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void BecomeProgram(const char* workDir, int in, int out, int err, char** argv,
                                char** envp) {
    if (chdir(workDir) != 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 ||
        dup2(err, STDERR_FILENO) < 0) {
        _exit(kExecFailed);
    }
    execve(argv[0], argv, envp);
    _exit(kExecFailed);
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         const std::filesystem::path& workDir,
                         const std::filesystem::path& scratchDir) {
    std::vector<std::string> argvStrings{program};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = ChildEnvironment(environment);
    std::vector<char*> argv = Pointers(argvStrings);
    std::vector<char*> envp = Pointers(envStrings);
    const std::filesystem::path outPath = scratchDir / "stdout.txt";
    const std::filesystem::path errPath = scratchDir / "stderr.txt";
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const std::string dir = workDir.string();
    const pid_t child = fork();
    if (child == 0) {
        BecomeProgram(dir.c_str(), in, out, err, argv.data(), envp.data());
    }
    close(in);
    close(out);
    close(err);
    ProgramResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    }
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    return result;
}

}  // namespace velloran::testing
