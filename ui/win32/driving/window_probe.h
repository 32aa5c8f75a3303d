#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/win32/win32_constants.h"

namespace velloran::driving {

// What tells the windows of the program apart from outside: a control each kind has and
// the others lack, with that control's class.
struct WindowMark {
    int controlId;
    const wchar_t* controlClass;
};

inline constexpr WindowMark kMainWindowMark{IDC_RECEIVE, L"Button"};
inline constexpr WindowMark kTransferWindowMark{IDC_PROGRESS, L"msctls_progress32"};
inline constexpr WindowMark kMessageBoxMark{kMessageBoxTextId, L"Static"};
// The file name box of the system's save and open dialogs (cmb13).
inline constexpr WindowMark kFileDialogMark{0x047C, nullptr};
// The file type box of those dialogs (cmb1).
inline constexpr int kFileTypeBoxId = 0x0470;

// The visible top-level windows of process `processId` that carry `mark`.
std::vector<HWND> VisibleWindows(DWORD processId, const WindowMark& mark);
// The first such window, waiting up to `timeoutMs` for one; null if none came.
HWND WaitForWindow(DWORD processId, const WindowMark& mark, DWORD timeoutMs);
// Polls `done` until it holds; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

std::wstring TextOf(HWND window);
std::wstring ControlText(HWND dialog, int controlId);
// Presses a button of a dialog of any process, as its keyboard shortcut or a click would.
void PostClick(HWND dialog, int controlId);

}  // namespace velloran::driving
