#include "ui/win32/transfer_window.h"

#include "res/resource.h"
#include "ui/ui_text.h"
#include "ui/win32/bkup_messages.h"
#include "ui/win32/message_box.h"
#include "ui/win32/utf8_text.h"
#include "ui/win32/window_input_win32.h"

namespace velloran {

TransferWindow::TransferWindow(CTransferDlg& transfer)
    : DialogWindow(IDD_TRANSFER), transfer_(transfer) {
    MapMessages();
}

void TransferWindow::MapMessages() {
    const BkupMessages& messages = RegisteredMessages();
    // The messages are registered system-wide, so any program can send them here: the
    // transfer acts only on its own start and its own one outcome (see CTransferDlg).
    OnMessage(messages.start, [this](WPARAM, LPARAM) { return transfer_.OnBkupStart(); });
    OnMessage(messages.success, [this](WPARAM, LPARAM) {
        AllowShutdownForOutcome();
        return transfer_.OnBkupSuccess();
    });
    OnMessage(messages.error, [this](WPARAM outcomeId, LPARAM detail) {
        AllowShutdownForOutcome();
        return transfer_.OnBkupError(static_cast<uint32_t>(outcomeId),
                                     static_cast<FailureDetail>(detail));
    });
    // FALSE holds the session open: ending it now would leave the printer half-written.
    OnMessage(WM_QUERYENDSESSION,
              [this](WPARAM, LPARAM) -> LRESULT { return blockingShutdown_ ? FALSE : TRUE; });
    // Only the outcome handlers close this window, and they do it directly: a close
    // request from anywhere else would free the driver library under the running job.
    OnMessage(WM_CLOSE, [](WPARAM, LPARAM) { return 0; });
    OnMessage(WM_HELP, [](WPARAM, LPARAM) { return TRUE; });
    // What the dialog manager makes of Enter and Escape, should they get past the filter.
    OnCommand(IDOK, BN_CLICKED, [] {});
    OnCommand(IDCANCEL, BN_CLICKED, [] {});
}

bool TransferWindow::OnInitDialog() {
    // The worker's progress and outcome come to this window as its own messages.
    progress_.Attach(Control(IDC_PROGRESS));
    outcome_.Attach(Handle());
    // Every path from here ends with an outcome message, which lets the session end again.
    BlockShutdown();
    return transfer_.OnInitDialog(*this);
}

void TransferWindow::SendStart() {
    SendMessageW(Handle(), RegisteredMessages().start, 0, 0);
}

void TransferWindow::BlockShutdown() {
    blockingShutdown_ = true;
    ShutdownBlockReasonCreate(Handle(), Utf16(UiText(IDS_TRANSFER_RUNNING)).c_str());
}

void TransferWindow::AllowShutdownForOutcome() {
    if (transfer_.OutcomeWaiting()) {
        AllowShutdown();
    }
}

void TransferWindow::AllowShutdown() {
    if (blockingShutdown_) {
        blockingShutdown_ = false;
        ShutdownBlockReasonDestroy(Handle());
    }
}

bool TransferWindow::PreTranslateMessage(const MSG& msg) {
    return CTransferDlg::PreTranslateMessage(InputOfMessage(msg));
}

void TransferWindow::SetCaption(const std::string& text) {
    SetWindowTextW(Handle(), Utf16(text).c_str());
}

void TransferWindow::SetStatusText(const std::string& text) {
    SetDlgItemTextW(Handle(), IDC_STATUS, Utf16(text).c_str());
}

int TransferWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                   uint32_t style) {
    // A quit request still queued when the outcome arrives would end the box's own loop
    // before anyone saw it: it waits until the box is answered, as it waits for the window.
    MSG quit{};
    const bool quitPending = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    const int answer = ShowOutcomeBox(text, caption, style);
    if (quitPending) {
        PostQuitMessage(static_cast<int>(quit.wParam));
    }
    return answer;
}

int TransferWindow::ShowOutcomeBox(const std::string& text, const std::string& caption,
                                   uint32_t style) {
    // Before the window is first shown (a connection failure, a refused file) its box
    // belongs to the main window, enabled again first: a box over a disabled owner hands
    // the activation to another program when it closes.
    if (IsWindowVisible(Handle())) {
        progress_.ShowPositionAtOnce();
        return velloran::ShowMessageBox(Handle(), text, caption, style);
    }
    const HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
    }
    return velloran::ShowMessageBox(owner, text, caption, style);
}

}  // namespace velloran
