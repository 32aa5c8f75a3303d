#pragma once

#include <windows.h>

#include "ui/transfer_dlg.h"
#include "ui/transfer_view.h"
#include "ui/win32/dialog_window.h"
#include "ui/win32/message_outcome.h"
#include "ui/win32/progress_control.h"

namespace velloran {

// The transfer window (template 129): the caption, the status line and the progress
// bar of one CTransferDlg. The worker reaches it only by messages sent with SendMessageW:
// the progress control's own messages, and WM_BKUP_SUCCESS or WM_BKUP_ERROR for the
// outcome, whose handler shows the box and closes the window. Nothing the user does
// closes it, and while the job runs it holds off a log-off or shut-down.
class TransferWindow final : public DialogWindow, public TransferView {
    // The worker reaches this window only through its own messages, sent to it with
    // SendMessageW, so every call that gets here already runs on the window's thread.
    class OwnThread final : public UiThread {
      public:
        void Send(const std::function<void()>& call) override { call(); }
    };

  public:
    explicit TransferWindow(CTransferDlg& transfer);
    // The worker may still be on its way out of its outcome call through outcome_.
    ~TransferWindow() override { transfer_.JoinWorker(); }

    void SetCaption(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    ProgressSink& ProgressBar() override { return progress_; }
    UiThread& Thread() override { return thread_; }
    void EndModal() override { DialogWindow::EndModal(IDCANCEL); }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override;

  private:
    int ShowOutcomeBox(const std::string& text, const std::string& caption, uint32_t style);
    bool OnInitDialog() override;
    bool PreTranslateMessage(const MSG& msg) override;
    // The window ends only with the job's outcome, whatever asks the program to quit.
    bool OutlivesQuit() const override { return true; }
    void MapMessages();
    // While the job runs, log-off and shut-down wait, with a reason Windows shows.
    void BlockShutdown();
    void AllowShutdown();
    // Only for the transfer's own outcome, about to be shown.
    void AllowShutdownForOutcome();

    CTransferDlg& transfer_;
    ProgressControl progress_;
    MessageOutcome outcome_;
    OwnThread thread_;
    bool blockingShutdown_ = false;
};

}  // namespace velloran
