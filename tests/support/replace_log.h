#pragma once

#include <string>
#include <vector>

#include "platform/file_replace.h"

namespace velloran::testing {

// The system's replace steps, each noted in `log` before it runs; the step named
// `failing` ("flush", "move" or "folder") fails instead while `fail` is set.
inline ReplaceSteps LoggedReplaceSteps(std::vector<std::string>& log, const std::string& failing,
                                       const bool& fail) {
    const ReplaceSteps system = SystemReplaceSteps();
    const auto fails = [&fail, failing](const char* step) { return fail && failing == step; };
    return {[&log, fails, system](const std::string& path) {
                log.push_back("flush " + path);
                return !fails("flush") && system.flushFile(path);
            },
            [&log, fails, system](const std::string& from, const std::string& to) {
                log.push_back("move " + from + " " + to);
                return !fails("move") && system.move(from, to);
            },
            [&log, fails, system](const std::string& folder) {
                log.push_back("folder " + folder);
                return !fails("folder") && system.flushFolder(folder);
            }};
}

}  // namespace velloran::testing
