#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/help_viewer.h"

namespace velloran {

// Loads a library from a full path; null when it cannot.
using ViewerLoader = std::function<HMODULE(const std::wstring& path)>;

// The viewer's library: the one the registry names for the viewer's class, else
// hhctrl.ocx from the system folder, never by plain name (the search by plain name starts
// in the program's folder, where a portable copy in Downloads may have a planted
// hhctrl.ocx beside it). `registeredPath` is empty when the registry names none.
HMODULE LoadViewerLibrary(const std::wstring& registeredPath, const ViewerLoader& load);

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
    bool IsBlocked(const std::string& helpPath) override;

  private:
    std::function<HWND()> owner_;
    bool opened_ = false;
};

}  // namespace velloran
