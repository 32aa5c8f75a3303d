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
  public:
    explicit TransferWindow(CTransferDlg& transfer);

    void SetCaption(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    // WM_BKUP_START (0, 0), sent to this window itself.
    void SendStart() override;
    ProgressSink& WorkerProgress() override { return progress_; }
    OutcomeSink& WorkerOutcome() override { return outcome_; }
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
    bool blockingShutdown_ = false;
};

}  // namespace velloran
