#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/help_viewer.h"

namespace velloran {

// The system's HTML Help viewer: HtmlHelpW of hhctrl.ocx, given the full path in UTF-16
// (whatever the ANSI code page, and whether or not the drive makes short names), loaded
// on first use and kept for the life of the program. Once loading has failed, every later
// call fails at once. The viewer's windows close when this object goes.
class HtmlHelpViewer final : public HelpViewer {
  public:
    // `owner` gives the window that owns the help window at the time of the call.
    explicit HtmlHelpViewer(std::function<HWND()> owner) : owner_(std::move(owner)) {}
    ~HtmlHelpViewer() override;
    HtmlHelpViewer(const HtmlHelpViewer&) = delete;
    HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

    bool DisplayContents(const std::string& helpPath) override;

  private:
    std::function<HWND()> owner_;
    bool opened_ = false;
};

}  // namespace velloran
