#pragma once

#include <QComboBox>
#include <QDialog>
#include <cstdint>
#include <map>

#include "ui/help_launcher.h"
#include "ui/main_dlg.h"
#include "ui/main_view.h"
#include "ui/qt/desktop_dialogs.h"

namespace velloran {

// The main window (template 102): the model list, Receive, Send, Help and Exit. Its
// commands run CMainDlg; transfers run in a modal TransferWindow.
class MainWindow final : public QDialog, public MainView {
    Q_OBJECT

  public:
    MainWindow(DesktopDialogs& dialogs, HelpLauncher& help, MainDlgEnvironment environment = {});

    // Initialises the window and runs it until Exit or the close box.
    void RunModal();
    // The initialisation alone, for a window shown without a modal run of its own.
    void Initialise() { logic_.OnInitDialog(); }
    CMainDlg& Logic() { return logic_; }
    QWidget* Control(int32_t id) const { return controls_.at(id); }

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

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ConnectCommands();

    DesktopDialogs& dialogs_;
    std::map<int32_t, QWidget*> controls_;
    QComboBox* modelList_ = nullptr;
    CMainDlg logic_;
};

}  // namespace velloran
