#include "ui/transfer_dlg.h"

#include "jobs/outcome.h"
#include "jobs/string_table.h"
#include "ui/ui_constants.h"
#include "ui/ui_text.h"

namespace velloran {

CTransferDlg::CTransferDlg(const TransferEnvironment& environment) : session_(environment) {
    context.progressBar = &progress_;
    context.outcomeSink = &outcome_;
}

bool CTransferDlg::OnInitDialog(TransferView& view) {
    view_ = &view;
    progress_.Attach(view.ProgressBar(), view.Thread());
    outcome_.Attach(view.Thread());

    view.SetCaption(UiText(IDS_APP_TITLE));
    view.SetStatusText(UiText(context.IsSend() ? IDS_SENDING : IDS_RECEIVING));
    // A connection failure reports its outcome itself, which closes the window.
    if (session_.Connect()) {
        OnBkupStart();
    }
    return true;
}

void CTransferDlg::OnClose() {
    if (closed_) {
        return;
    }
    closed_ = true;
    session_.Release();
    view_->EndModal();
}

bool CTransferDlg::PreTranslateMessage(WindowInput input) {
    switch (input) {
        case WindowInput::kEnter:
        case WindowInput::kEscape:
        case WindowInput::kCloseRequest:
        case WindowInput::kHelp:
            return true;
        case WindowInput::kOther:
            break;
    }
    return false;
}

uint32_t CTransferDlg::OnBkupStart() {
    return session_.Start();
}

uint32_t CTransferDlg::OnBkupSuccess() {
    ShowOutcome(Outcome::Succeeded());
    return 0;
}

uint32_t CTransferDlg::OnBkupError(uint32_t outcomeId, FailureDetail detail) {
    ShowOutcome(Outcome::Failed(outcomeId, detail));
    return 0;
}

void CTransferDlg::ShowOutcome(const Outcome& outcome) {
    if (closed_ || view_ == nullptr) {
        return;
    }
    view_->ShowMessageBox(OutcomeText(outcome), UiText(IDS_APP_TITLE),
                          outcome.success ? kSuccessBoxStyle : kFailureBoxStyle);
    OnClose();
}

}  // namespace velloran
