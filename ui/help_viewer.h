#pragma once

#include <string>

namespace velloran {

// Shows a compiled help file on its table of contents.
class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    // False when the file cannot be opened or shown.
    virtual bool DisplayContents(const std::string& helpPath) = 0;
    // True when the system would show the file's pages blank (on Windows, a file that
    // carries the mark of a download from the internet), so the user must unblock it first.
    virtual bool IsBlocked(const std::string& /*helpPath*/) { return false; }
};

}  // namespace velloran
