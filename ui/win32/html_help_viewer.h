#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/help_viewer.h"

namespace velloran {

// The system's HTML Help viewer: HtmlHelpA of hhctrl.ocx, loaded on first use and kept
// for the life of the program. Once loading has failed, every later call fails at once.
class HtmlHelpViewer final : public HelpViewer {
  public:
    // `owner` gives the window that owns the help window at the time of the call.
    explicit HtmlHelpViewer(std::function<HWND()> owner) : owner_(std::move(owner)) {}

    bool DisplayContents(const std::string& helpPath) override;

  private:
    std::function<HWND()> owner_;
};

// `path` (UTF-8) in the system's ANSI code page, as HtmlHelpA takes it: as it is when
// every character has an ANSI form, else its short (8.3) form when that has one; empty
// when neither works.
std::string AnsiPathFor(const std::string& path);

}  // namespace velloran
