#include "platform/file_name_rules.h"

#include <string_view>

namespace velloran {
namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The path without its "\\?\" or "\\.\" prefix and its drive ("C:").
std::string_view WithoutRoot(std::string_view path) {
    for (const std::string_view prefix : {"\\\\?\\", "\\\\.\\"}) {
        if (path.starts_with(prefix)) {
            path.remove_prefix(prefix.size());
            break;
        }
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        path.remove_prefix(2);
    }
    return path;
}

}  // namespace

FileNameProblem WindowsFileNameProblem(const std::string& path) {
    const std::string_view rest = WithoutRoot(path);
    if (rest.find(':') != std::string_view::npos) {
        return FileNameProblem::kStreamColon;
    }
    // Every name of the path ("." and ".." aside) is cut at its trailing dots and spaces.
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        const std::string_view name = rest.substr(start, end - start);
        if (!name.empty() && name != "." && name != ".." &&
            (name.back() == '.' || name.back() == ' ')) {
            return FileNameProblem::kTrailingDotOrSpace;
        }
        start = end + 1;
    }
    return FileNameProblem::kNone;
}

FileNameProblem FileNameProblemHere(const std::string& path) {
#if defined(_WIN32)
    return WindowsFileNameProblem(path);
#else
    static_cast<void>(path);
    return FileNameProblem::kNone;
#endif
}

}  // namespace velloran
