#pragma once

#include <windows.h>

#include "ui/window_input.h"

namespace velloran {

// What a queued message means to a window's key filter: Enter, Escape, F1, and the close
// request that Alt+F4 raises (the key itself, and the system command it is turned into).
WindowInput InputOfMessage(const MSG& msg);

}  // namespace velloran
