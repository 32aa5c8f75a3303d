#pragma once

#include <windows.h>

namespace velloran {

// Where a minimised window draws its icon: centred in the client area, rounding as
// (client - icon + 1) / 2 in signed arithmetic, truncated toward zero.
POINT IconOrigin(const RECT& client, int iconWidth, int iconHeight);

// WM_PAINT of a minimised window: erases the icon's background and draws `icon`.
void PaintMinimisedIcon(HWND window, HICON icon);

}  // namespace velloran
