#pragma once

#include <string>

namespace velloran {

// Names that Windows does not store as typed.
enum class FileNameProblem {
    kNone,
    kStreamColon,         // a ':' past a drive letter names an NTFS stream of another file
    kTrailingDotOrSpace,  // a name ending with dots or spaces loses them: another file
};

// What Windows would do to the names in `path` (UTF-8), on any system.
FileNameProblem WindowsFileNameProblem(const std::string& path);

// The problem on this system: Windows' rules on Windows; none elsewhere, where a name is
// stored byte for byte as typed and ':', a trailing dot or space are ordinary characters.
FileNameProblem FileNameProblemHere(const std::string& path);

}  // namespace velloran
