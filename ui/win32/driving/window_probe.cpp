#include "ui/win32/driving/window_probe.h"

namespace velloran::driving {
namespace {

constexpr DWORD kPollMs = 20;
constexpr int kClassNameLength = 64;
constexpr int kLongestText = 4096;

struct Search {
    DWORD processId;
    const WindowMark* mark;
    std::vector<HWND> found;
};

bool Carries(HWND window, const WindowMark& mark) {
    const HWND control = GetDlgItem(window, mark.controlId);
    if (control == nullptr) {
        return false;
    }
    if (mark.controlClass == nullptr) {
        return true;
    }
    wchar_t name[kClassNameLength] = {};
    GetClassNameW(control, name, kClassNameLength);
    return _wcsicmp(name, mark.controlClass) == 0;
}

BOOL CALLBACK Collect(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search.processId && IsWindowVisible(window) && Carries(window, *search.mark)) {
        search.found.push_back(window);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleWindows(DWORD processId, const WindowMark& mark) {
    Search search{processId, &mark, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const WindowMark& mark, DWORD timeoutMs) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> found = VisibleWindows(processId, mark);
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

// The window's own answer to WM_GETTEXT: GetWindowTextW would read only the caption the
// system keeps for a window of another process, which a control such as the file
// dialogs' name box leaves empty.
std::wstring TextOf(HWND window) {
    std::wstring text(kLongestText, L'\0');
    const LRESULT length =
        SendMessageW(window, WM_GETTEXT, kLongestText, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

std::wstring ControlText(HWND dialog, int controlId) {
    return TextOf(GetDlgItem(dialog, controlId));
}

void PostClick(HWND dialog, int controlId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

}  // namespace velloran::driving
