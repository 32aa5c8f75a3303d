#pragma once

#include <cstdint>
#include <functional>

#include "jobs/transfer_session.h"
#include "platform/file_name_rules.h"
#include "platform/local_date.h"
#include "ui/file_dialog_request.h"
#include "ui/help_launcher.h"
#include "ui/main_view.h"
#include "ui/window_input.h"

namespace velloran {

// What the main window's commands run over; production uses the system's.
struct MainDlgEnvironment {
    TransferEnvironment transfer;  // handed to every transfer window
    std::function<LocalDate()> today = &TodayLocal;
    // Which chosen names the system would store otherwise than typed.
    std::function<FileNameProblem(const std::string&)> fileNameProblem = &FileNameProblemHere;
};

// The main window: the model list, Receive and Send (file dialog, confirmation, then a
// modal transfer window), Help and Exit.
class CMainDlg {
  public:
    CMainDlg(MainView& view, HelpLauncher& help, MainDlgEnvironment environment = {});

    // Icon, caption and control texts, and the model list with the first model chosen.
    bool OnInitDialog();
    void OnSelchangeModel();
    void OnReceive();
    void OnSend();
    void OnHelpButton();
    // True when the input is consumed: Escape (it would close the window) and F1.
    static bool PreTranslateMessage(WindowInput input);

    int32_t selection = 0;  // catalogue index of the chosen model

  private:
    void RunTransfer(const FileDialogRequest& request, int32_t direction);

    MainView& view_;
    HelpLauncher& help_;
    MainDlgEnvironment environment_;
};

// The requests of the two file dialogs: Receive proposes `initialName`.
FileDialogRequest ReceiveFileRequest(const std::string& initialName);
FileDialogRequest SendFileRequest();

}  // namespace velloran
