#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/exclusive_file.h"

namespace velloran {

// The three steps of a durable replace, each replaceable so that tests can watch their
// order and make one of them fail. Paths are UTF-8. A flush answers 0 or the system's
// error code (errno, or GetLastError on Windows).
struct ReplaceSteps {
    // Writes the new file's bytes through to the disk, through the handle that wrote them.
    std::function<int(ExclusiveFile& file)> flushFile;
    // Moves `from` over `to` in one step.
    std::function<bool(const std::string& from, const std::string& to)> move;
    // Writes the folder's changed entry through to the disk (POSIX; Windows does this in
    // the move itself).
    std::function<int(const std::string& folder)> flushFolder;
};

// Whether a flush's error code says that the drive offers no flush at all (virtual
// machine shared folders, some network and cloud drives), rather than that it failed.
bool IsFlushNotOffered(int error);

const ReplaceSteps& SystemReplaceSteps();
// The steps a replace takes unless it is given others: the system's, until a test puts
// others in place (before any transfer starts).
ReplaceSteps& ReplaceStepsInUse();

// Moves the file open in `from` over `to`, replacing `to` in one step, so that a power cut
// at any moment leaves either the earlier `to` or the complete new one. `from` is flushed
// through its own handle and closed before the move. `to` keeps its permission bits.
// Reports success only once the new file and the folder entry are on the disk, or the
// drive offers no flush. Fails, with `to` untouched, when `to` cannot be replaced (see
// CanReplace) or a flush fails.
[[nodiscard]] bool MoveFileReplacing(ExclusiveFile& from, const std::string& to,
                                     const ReplaceSteps& steps = ReplaceStepsInUse());

// Whether a file may be put at `path` now: nothing stands there, or a regular file that is
// not read-only and that no other program holds; and the folder may take new files. Never
// waits, whatever stands at the path.
[[nodiscard]] bool CanReplace(const std::string& path);

// The file that `path` names: the path itself, or for a symbolic link the file it leads
// to. Nothing when the link leads nowhere.
std::optional<std::string> ResolveLinkTarget(const std::string& path);

// Whether `path` itself (not a file a link leads to) is a regular file.
bool IsPlainFile(const std::string& path);

// Gives `replacement`, the file about to take the place of `replaced`, the permission bits
// of `replaced` when that exists (POSIX; true elsewhere).
[[nodiscard]] bool CopyPermissionBits(const std::string& replaced, const std::string& replacement);

// The folder part of `path`: "." for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace velloran
