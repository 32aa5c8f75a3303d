#include "cli/trace_file.h"

#include <filesystem>

#include "cli/utf8_path.h"
#include "jobs/receive_file.h"

namespace velloran::cli {
namespace {

namespace fs = std::filesystem;

// Whether the two paths name one file: the same file when both exist, else the same
// absolute path once written out in full.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const fs::path first = PathFromUtf8(a);
    const fs::path second = PathFromUtf8(b);
    if (fs::exists(first, error) && fs::exists(second, error)) {
        return fs::equivalent(first, second, error);
    }
    return fs::weakly_canonical(first, error) == fs::weakly_canonical(second, error);
}

}  // namespace

std::unique_ptr<std::ofstream> OpenTraceFile(const std::string& tracePath,
                                             const std::string& backupPath, std::string& error) {
    if (!backupPath.empty() && (SameFile(tracePath, backupPath) ||
                                SameFile(tracePath, ReceiveFile::PartialPathFor(backupPath)))) {
        error = "the trace cannot go to the backup file itself";
        return nullptr;
    }
    std::error_code statusError;
    const fs::file_status status = fs::status(PathFromUtf8(tracePath), statusError);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        error = "\"" + tracePath + "\" is not a regular file";
        return nullptr;
    }
    auto trace = std::make_unique<std::ofstream>(
        PathFromUtf8(tracePath), std::ios::out | std::ios::trunc | std::ios::binary);
    if (!*trace) {
        error = "cannot write the trace \"" + tracePath + "\"";
        return nullptr;
    }
    return trace;
}

}  // namespace velloran::cli
