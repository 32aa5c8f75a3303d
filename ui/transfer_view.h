#pragma once

#include <string>

#include "jobs/sinks.h"
#include "ui/message_box_view.h"
#include "ui/ui_thread.h"

namespace velloran {

// The transfer window as CTransferDlg sees it.
class TransferView : public MessageBoxView {
  public:
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The window's progress control; called on the user-interface thread only.
    virtual ProgressSink& ProgressBar() = 0;
    // How the worker reaches the user-interface thread.
    virtual UiThread& Thread() = 0;
    // Ends the modal run; the window's own close requests never get here.
    virtual void EndModal() = 0;
};

}  // namespace velloran
