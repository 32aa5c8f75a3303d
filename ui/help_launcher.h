#pragma once

#include <functional>
#include <string>

#include "ui/help_viewer.h"
#include "ui/message_box_view.h"

namespace velloran {

// The help file beside the program at `programPath`: the folder (everything before the
// last path separator) joined with VLR120.chm. Paths are UTF-8, of any length; no byte
// of a multi-byte character can pass for a separator. A path without a separator is
// returned as it is (the viewer then fails on it); an empty path gives an empty text.
std::string HelpPathFor(const std::string& programPath);

// The Help button: opens the help on its table of contents, or says that it cannot be
// found (entry 123, caption 101), or that the system blocks it and how to unblock it
// (entry 126) instead of opening a viewer whose pages would stay blank. The help beside
// the program comes first; a program installed apart from its help names the help's
// folder relative to its own folder (e.g. "../share/velloran"), tried second.
class HelpLauncher {
  public:
    using ProgramPathSource = std::function<std::string()>;

    HelpLauncher(HelpViewer& viewer, ProgramPathSource programPath,
                 std::string installedHelpFolder = {})
        : viewer_(viewer),
          programPath_(std::move(programPath)),
          installedHelpFolder_(std::move(installedHelpFolder)) {}

    void OnHelpButton(MessageBoxView& owner);

  private:
    HelpViewer& viewer_;
    ProgramPathSource programPath_;
    std::string installedHelpFolder_;
};

}  // namespace velloran
