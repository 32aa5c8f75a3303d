#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velloran::testing {

// The variable that points the program's library search at a folder: on Windows the
// search path as a whole, elsewhere the dynamic loader's own.
#if defined(_WIN32)
inline constexpr char kLibrarySearchVariable[] = "PATH";
#else
inline constexpr char kLibrarySearchVariable[] = "LD_LIBRARY_PATH";
#endif

struct ProgramResult {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `args` in `workDir` and waits for it. Its environment is this
// process's, without any VELLORAN_SIM_ variable, plus `environment` (which this process
// keeps set); no argument may hold a quote character. Its standard output
// and error go to files under `scratchDir` and come back in the result. Standard input
// is the null device, so the program sees no terminal.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         const std::filesystem::path& workDir,
                         const std::filesystem::path& scratchDir);

}  // namespace velloran::testing
