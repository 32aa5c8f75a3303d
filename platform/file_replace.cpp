#include "platform/file_replace.h"

namespace velloran {

ReplaceSteps& ReplaceStepsInUse() {
    static ReplaceSteps steps = SystemReplaceSteps();
    return steps;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool MoveFileReplacing(const std::string& from, const std::string& to, const ReplaceSteps& steps) {
    // The bytes must be on the disk before the name points at them: otherwise a power cut
    // just after the move can leave an empty or short file where the earlier backup was.
    return CanReplace(to) && CopyPermissionBits(to, from) && steps.flushFile(from) &&
           steps.move(from, to) && steps.flushFolder(FolderOf(to));
}

}  // namespace velloran
