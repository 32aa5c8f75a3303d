#pragma once

#include <string>

namespace velloran {

enum class FileDialogKind { kSave, kOpen };

// What the main window asks of a save or open dialog for a backup file.
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::kOpen;
    std::string initialName;       // empty: none
    std::string defaultExtension;  // added when the user types a name without one
    std::string filterName;        // e.g. "vid files"
    std::string filterPattern;     // e.g. "*.vid"
    bool overwritePrompt = false;  // ask before an existing file is replaced
    bool fileMustExist = false;
    bool pathMustExist = false;
};

}  // namespace velloran
