#pragma once

#include <windows.h>

#include "jobs/sinks.h"

namespace velloran {

// The transfer window's progress control, driven by its own messages (PBM_SETRANGE32,
// PBM_SETSTEP, PBM_SETPOS, PBM_STEPIT). They are sent with SendMessageW, so a call from
// the worker runs on the window's thread and returns only after the control has taken
// it. Nothing of this object is used once the message is on its way.
class ProgressControl final : public ProgressSink {
  public:
    void Attach(HWND control) { control_ = control; }

    void SetRange(uint32_t upper) override;
    void SetStep(uint32_t step) override;
    void SetPosition(uint32_t position) override;
    void Step() override;

    // Draws the bar at its current position now. The visual style of Windows Vista and
    // later fills the bar towards a higher position over a moment, so at the end of a
    // transfer the box would appear over a bar that still lags behind; a lower position is
    // drawn at once, which is what this uses. Called on the control's own thread.
    void ShowPositionAtOnce();

  private:
    HWND control_ = nullptr;
};

}  // namespace velloran
