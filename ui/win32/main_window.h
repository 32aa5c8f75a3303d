#pragma once

#include <windows.h>

#include "ui/help_launcher.h"
#include "ui/main_dlg.h"
#include "ui/main_view.h"
#include "ui/win32/dialog_window.h"

namespace velloran {

// The main window (template 102): the model list, Receive, Send, Help and Exit. Its
// commands run CMainDlg; each transfer runs in a modal TransferWindow.
class MainWindow final : public DialogWindow, public MainView {
  public:
    explicit MainWindow(HelpLauncher& help, MainDlgEnvironment environment = {});

    using DialogWindow::DoModal;  // runs this window; DoModal(transfer) runs a transfer

    void SetCaption(const std::string& text) override;
    void SetAppIcon() override;
    void SetControlText(int32_t controlId, const std::string& text) override;
    void AddModel(const std::string& displayName) override;
    void SetModelSelection(int32_t index) override;
    int32_t ModelSelection() const override;
    std::optional<std::string> AskFile(const FileDialogRequest& request) override;
    void DoModal(CTransferDlg& transfer) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override;

  private:
    bool OnInitDialog() override { return logic_.OnInitDialog(); }
    bool PreTranslateMessage(const MSG& msg) override;
    void MapMessages();
    std::optional<LRESULT> OnPaint();

    HICON appIcon_;
    CMainDlg logic_;
};

}  // namespace velloran
