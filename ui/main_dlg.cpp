#include "ui/main_dlg.h"

#include <utility>

#include "catalogue/backup_file.h"
#include "catalogue/model_catalogue.h"
#include "jobs/string_table.h"
#include "res/resource.h"
#include "ui/transfer_dlg.h"
#include "ui/ui_constants.h"
#include "ui/ui_text.h"

namespace velloran {
namespace {

struct ControlText {
    int32_t controlId;
    uint32_t textId;
};

// Filled in this order at initialisation.
constexpr ControlText kControlTexts[] = {
    {IDC_VERSION, IDS_VERSION_LINE},    {IDC_COPYRIGHT, IDS_COPYRIGHT},
    {IDC_MODEL_LABEL, IDS_MODEL_LABEL}, {IDC_RECEIVE_TEXT, IDS_RECEIVE_TEXT},
    {IDC_RECEIVE, IDS_RECEIVE_BUTTON},  {IDC_SEND_TEXT, IDS_SEND_TEXT},
    {IDC_SEND, IDS_SEND_BUTTON},        {IDC_EXIT, IDS_EXIT_BUTTON},
    {IDC_HELP_BUTTON, IDS_HELP_BUTTON},
};

FileDialogRequest BackupFileRequest(FileDialogKind kind) {
    FileDialogRequest request;
    request.kind = kind;
    request.defaultExtension = kBackupExtension;
    request.filterName = kBackupFilterName;
    request.filterPattern = kBackupFilterPattern;
    request.overwritePrompt = true;
    return request;
}

}  // namespace

FileDialogRequest ReceiveFileRequest(const std::string& initialName) {
    FileDialogRequest request = BackupFileRequest(FileDialogKind::kSave);
    request.initialName = initialName;
    return request;
}

FileDialogRequest SendFileRequest() {
    FileDialogRequest request = BackupFileRequest(FileDialogKind::kOpen);
    request.fileMustExist = true;
    request.pathMustExist = true;
    return request;
}

CMainDlg::CMainDlg(MainView& view, HelpLauncher& help, MainDlgEnvironment environment)
    : view_(view), help_(help), environment_(std::move(environment)) {}

bool CMainDlg::OnInitDialog() {
    view_.SetAppIcon();
    view_.SetCaption(UiText(IDS_APP_TITLE));
    for (const ControlText& entry : kControlTexts) {
        view_.SetControlText(entry.controlId, UiText(entry.textId));
    }
    for (const std::string& name : DisplayNames()) {
        view_.AddModel(name);
    }
    selection = 0;
    view_.SetModelSelection(selection);
    return true;
}

void CMainDlg::OnSelchangeModel() {
    selection = view_.ModelSelection();
}

void CMainDlg::OnReceive() {
    const ModelEntry* model = ModelAt(selection);
    if (model == nullptr) {
        return;  // nothing chosen in the list
    }
    const std::string name = DefaultFileName(model->filePrefix, environment_.today());
    RunTransfer(ReceiveFileRequest(name), kDirectionReceive);
}

void CMainDlg::OnSend() {
    RunTransfer(SendFileRequest(), kDirectionSend);
}

void CMainDlg::OnHelpButton() {
    help_.OnHelpButton(view_);
}

bool CMainDlg::PreTranslateMessage(WindowInput input) {
    return input == WindowInput::kEscape || input == WindowInput::kHelp;
}

void CMainDlg::RunTransfer(const FileDialogRequest& request, int32_t direction) {
    CTransferDlg transfer(environment_.transfer);
    const std::optional<std::string> path = view_.AskFile(request);
    if (!path) {
        return;
    }
    // A name Windows would store otherwise than typed would save or send another file.
    if (environment_.fileNameProblem(*path) != FileNameProblem::kNone) {
        view_.ShowMessageBox(UiText(IDS_BAD_FILE_NAME), UiText(IDS_APP_TITLE), kFailureBoxStyle);
        return;
    }
    if (view_.ShowMessageBox(UiText(IDS_CONFIRM_READY), UiText(IDS_APP_TITLE), kConfirmBoxStyle) !=
        kAnswerYes) {
        return;
    }
    transfer.SetFilePath(*path);
    transfer.SetModelIndex(selection);
    transfer.SetDirection(direction);
    view_.DoModal(transfer);
}

}  // namespace velloran
