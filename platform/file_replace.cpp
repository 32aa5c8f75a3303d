#include "platform/file_replace.h"

namespace velloran {
namespace {

// A drive that offers no flush writes as it can; refusing every receive there would keep
// no backup at all. Any other error is a failed flush.
bool Flushed(int error) {
    return error == 0 || IsFlushNotOffered(error);
}

}  // namespace

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

bool MoveFileReplacing(ExclusiveFile& from, const std::string& to, const ReplaceSteps& steps) {
    // The bytes must be on the disk before the name points at them: otherwise a power cut
    // just after the move can leave an empty or short file where the earlier backup was.
    // Windows moves no file that is open without sharing, so the handle closes first.
    const std::string fromPath = from.Path();
    return CanReplace(to) && CopyPermissionBits(to, fromPath) && Flushed(steps.flushFile(from)) &&
           from.Close() && steps.move(fromPath, to) && Flushed(steps.flushFolder(FolderOf(to)));
}

}  // namespace velloran
