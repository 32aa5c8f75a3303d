#pragma once

#include <memory>

#include "ui/help_viewer.h"
#include "ui/qt/help_window.h"

namespace velloran {

// Shows compiled help in a HelpWindow of our own. One help window at a time: opening the
// help again replaces it.
class ChmHelpViewer final : public HelpViewer {
  public:
    bool DisplayContents(const std::string& helpPath) override;
    HelpWindow* Window() const { return window_.get(); }

  private:
    std::unique_ptr<HelpWindow> window_;
};

}  // namespace velloran
