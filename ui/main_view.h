#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/file_dialog_request.h"
#include "ui/message_box_view.h"

namespace velloran {

class CTransferDlg;

// The main window as CMainDlg sees it: a caption, control texts, the model list, the
// file dialogs, message boxes and the modal run of a transfer window.
class MainView : public MessageBoxView {
  public:
    virtual void SetCaption(const std::string& text) = 0;
    // Gives the window icon 128 as its large and small icon.
    virtual void SetAppIcon() = 0;
    virtual void SetControlText(int32_t controlId, const std::string& text) = 0;

    // The drop-down list: items are added at the end; -1 selects nothing.
    virtual void AddModel(const std::string& displayName) = 0;
    virtual void SetModelSelection(int32_t index) = 0;
    virtual int32_t ModelSelection() const = 0;

    // The full path the user chose, or nullopt when the dialog was cancelled.
    virtual std::optional<std::string> AskFile(const FileDialogRequest& request) = 0;

    // Shows a transfer window for `transfer` and returns when it has closed. The main
    // window takes no input meanwhile.
    virtual void DoModal(CTransferDlg& transfer) = 0;
};

}  // namespace velloran
