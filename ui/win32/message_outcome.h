#pragma once

#include <windows.h>

#include "jobs/sinks.h"

namespace velloran {

// A transfer's outcome as the registered message WM_BKUP_SUCCESS (0, 0) or WM_BKUP_ERROR
// (outcome id, FailureDetail), sent with SendMessageW to the transfer window: the sender
// waits until the window's handler has shown the box and closed the window. The handler
// may destroy this object meanwhile, so nothing of it is used once the message is sent.
class MessageOutcome final : public OutcomeSink {
  public:
    void Attach(HWND window) { window_ = window; }

    void Success() override;
    void Error(uint32_t outcomeId, FailureDetail detail) override;

  private:
    HWND window_ = nullptr;
};

}  // namespace velloran
