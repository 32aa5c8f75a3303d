#pragma once

#include <windows.h>

#include "ui/ui_thread.h"

namespace velloran {

// The thread of a window as a UiThread: a call from another thread travels as the
// registered message VELLORAN_UI_CALL, sent with SendMessageW, and the window runs it
// (RunSentCall); on the window's own thread the call runs at once.
class WindowThread final : public UiThread {
  public:
    void Attach(HWND window) { window_ = window; }
    void Send(const std::function<void()>& call) override;

  private:
    HWND window_ = nullptr;
};

// The window's handler of VELLORAN_UI_CALL.
LRESULT RunSentCall(LPARAM call);

}  // namespace velloran
