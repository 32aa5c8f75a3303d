#pragma once

#include <string>

namespace velloran {

// Shows a compiled help file on its table of contents.
class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    // False when the file cannot be opened or shown.
    virtual bool DisplayContents(const std::string& helpPath) = 0;
};

}  // namespace velloran
