#include "ui/win32/dialog_window.h"

#include <algorithm>

namespace velloran {
namespace {

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    return message == WM_QUERYDRAGICON || message == WM_INITDIALOG;
}

// Whether template `id` places its window at 0,0: read from the template's header, in
// either layout (DLGTEMPLATEEX starts with version 1 and 0xFFFF).
bool TemplateAtOrigin(int id) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    const auto* words = size >= 22
                            ? static_cast<const WORD*>(LockResource(LoadResource(module, resource)))
                            : nullptr;
    if (words == nullptr) {
        return false;
    }
    const size_t x = words[0] == 1 && words[1] == 0xFFFF ? 9 : 5;  // in WORDs
    return words[x] == 0 && words[x + 1] == 0;
}

// Centres `window` over its visible owner, or on the work area of its monitor when it has
// none, and keeps it inside that work area.
void Centre(HWND window, HWND owner) {
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(overOwner ? owner : window, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT area = monitor.rcWork;
    RECT around = area;
    if (overOwner) {
        GetWindowRect(owner, &around);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const LONG x = (around.left + around.right - width) / 2;
    const LONG y = (around.top + around.bottom - height) / 2;
    SetWindowPos(window, nullptr, std::max(area.left, std::min(x, area.right - width)),
                 std::max(area.top, std::min(y, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

DialogWindow::~DialogWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

INT_PTR DialogWindow::DoModal(HWND owner) {
    ended_ = false;
    result_ = -1;
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    const HWND created =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                           &DialogProc, reinterpret_cast<LPARAM>(this));
    if (created != nullptr && !ended_) {
        if (TemplateAtOrigin(templateId_)) {
            Centre(created, owner);
        }
        ShowWindow(created, SW_SHOW);
        RunModalLoop();
    }
    // The owner is enabled and made active before this window goes, so that it, not some
    // other program's window, has the keyboard afterwards, even when a click on the
    // disabled owner left no window of this thread active.
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
        const HWND active = GetActiveWindow();
        if (active == nullptr || active == created) {
            SetActiveWindow(owner);
        }
    }
    if (created != nullptr) {
        DestroyWindow(created);
    }
    window_ = nullptr;
    return result_;
}

void DialogWindow::EndModal(INT_PTR result) {
    result_ = result;
    ended_ = true;
    // A handler that runs for a message sent from another thread runs inside the loop's
    // GetMessageW, which returns only for a posted message: post one to wake it.
    if (window_ != nullptr) {
        PostMessageW(window_, WM_NULL, 0, 0);
    }
}

void DialogWindow::OnMessage(UINT message, Handler handler) {
    handlers_[message] = std::move(handler);
}

void DialogWindow::OnCommand(int controlId, WORD notification, std::function<void()> handler) {
    commands_[{controlId, notification}] = std::move(handler);
}

void DialogWindow::RunModalLoop() {
    MSG msg;
    std::optional<int> quit;
    while (!ended_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = static_cast<int>(msg.wParam);
            if (!OutlivesQuit()) {
                break;
            }
            continue;
        }
        if (got < 0) {
            break;
        }
        if (PreTranslateMessage(msg) || IsDialogMessageW(window_, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (quit) {
        PostQuitMessage(*quit);  // for the loop outside ours
    }
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        return self->OnInitDialog() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self == nullptr ? FALSE : self->Dispatch(message, wParam, lParam);
}

INT_PTR DialogWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> result;
    if (message == WM_COMMAND) {
        result = DispatchCommand(wParam);
    } else if (const auto handler = handlers_.find(message); handler != handlers_.end()) {
        result = handler->second(wParam, lParam);
    }
    if (!result) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(*result);
    }
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, *result);
    return TRUE;
}

std::optional<LRESULT> DialogWindow::DispatchCommand(WPARAM wParam) {
    const auto command = commands_.find({LOWORD(wParam), HIWORD(wParam)});
    if (command == commands_.end()) {
        return std::nullopt;
    }
    command->second();
    return 0;
}

}  // namespace velloran
