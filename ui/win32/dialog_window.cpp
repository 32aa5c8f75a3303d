#include "ui/win32/dialog_window.h"

namespace velloran {
namespace {

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    return message == WM_QUERYDRAGICON || message == WM_INITDIALOG;
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
        ShowWindow(created, SW_SHOW);
        RunModalLoop();
    }
    // The owner is enabled before this window goes, so that it, not some other
    // program's window, becomes the active one.
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
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
    while (!ended_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside ours
            return;
        }
        if (got < 0) {
            return;
        }
        if (PreTranslateMessage(msg) || IsDialogMessageW(window_, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
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
