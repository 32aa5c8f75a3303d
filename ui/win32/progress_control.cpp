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

}  // namespace velloran
