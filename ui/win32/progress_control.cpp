#include "ui/win32/progress_control.h"

#include <commctrl.h>

namespace velloran {

void ProgressControl::SetRange(uint32_t upper) {
    SendMessageW(control_, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
}

void ProgressControl::SetStep(uint32_t step) {
    SendMessageW(control_, PBM_SETSTEP, step, 0);
}

void ProgressControl::SetPosition(uint32_t position) {
    SendMessageW(control_, PBM_SETPOS, position, 0);
}

void ProgressControl::Step() {
    SendMessageW(control_, PBM_STEPIT, 0, 0);
}

// One step past the position and back ("PBM_SETPOS message"); at the top, the range is
// widened by one for that step and narrowed again ("PBM_SETRANGE32 message"), which puts
// the position back at the top.
void ProgressControl::ShowPositionAtOnce() {
    const auto position = static_cast<LPARAM>(SendMessageW(control_, PBM_GETPOS, 0, 0));
    const auto upper = static_cast<LPARAM>(SendMessageW(control_, PBM_GETRANGE, FALSE, 0));
    if (position < upper) {
        SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
        SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    } else {
        SendMessageW(control_, PBM_SETRANGE32, 0, upper + 1);
        SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(upper + 1), 0);
        SendMessageW(control_, PBM_SETRANGE32, 0, upper);
    }
    UpdateWindow(control_);
}

}  // namespace velloran
