#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velloran {

// Runs `attempt` until it succeeds, or fails for another reason than a brief hold by
// another program, or the retry time is over. A denied access counts as a hold only when
// `path` is a file that could be opened that way: not a folder, and not read-only when
// `forWriting`.
bool RetryWhileHeld(const std::function<bool()>& attempt, const std::string& path, bool forWriting);

}  // namespace velloran
