#pragma once

#include <string>

#include "jobs/sinks.h"
#include "ui/message_box_view.h"

namespace velloran {

// The transfer window as CTransferDlg sees it.
class TransferView : public MessageBoxView {
  public:
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Runs the window's start handler (CTransferDlg::OnBkupStart) on the user-interface
    // thread, as a message the window sends itself, and returns after it.
    virtual void SendStart() = 0;
    // The sinks the worker reports through, from its own thread. Each call returns once
    // the window has handled it on the user-interface thread: the progress control has
    // taken the step, or the outcome handler (CTransferDlg::OnBkupSuccess or OnBkupError)
    // has shown its box. The window may be gone when a call returns, so the sinks use
    // nothing of themselves once they have handed the call over.
    virtual ProgressSink& WorkerProgress() = 0;
    virtual OutcomeSink& WorkerOutcome() = 0;
    // Ends the modal run; the window's own close requests never get here.
    virtual void EndModal() = 0;
};

}  // namespace velloran
