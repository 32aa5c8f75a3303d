#pragma once

#include <string>
#include <vector>

#include "platform/file_replace.h"

namespace velloran::testing {

// The system's replace steps, each noted in `log` before it runs; while `error` is not 0
// the step named `failing` ("flush", "move" or "folder") fails instead: a flush with that
// error code.
inline ReplaceSteps LoggedReplaceSteps(std::vector<std::string>& log, const std::string& failing,
                                       const int& error) {
    const ReplaceSteps system = SystemReplaceSteps();
    const auto fails = [&error, failing](const char* step) {
        return error != 0 && failing == step;
    };
    return {[&log, &error, fails, system](ExclusiveFile& file) {
                log.push_back("flush " + file.Path());
                return fails("flush") ? error : system.flushFile(file);
            },
            [&log, fails, system](const std::string& from, const std::string& to) {
                log.push_back("move " + from + " " + to);
                return !fails("move") && system.move(from, to);
            },
            [&log, &error, fails, system](const std::string& folder) {
                log.push_back("folder " + folder);
                return fails("folder") ? error : system.flushFolder(folder);
            }};
}

}  // namespace velloran::testing
