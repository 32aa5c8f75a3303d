#include "ui/transfer_dlg.h"

#include "jobs/outcome.h"
#include "jobs/string_table.h"
#include "ui/ui_constants.h"
#include "ui/ui_text.h"

namespace velloran {

CTransferDlg::CTransferDlg(const TransferEnvironment& environment) : session_(environment) {
    session_.context.outcomeSink = &own_;
}

void CTransferDlg::OwnOutcome::Success() {
    Note(Outcome::Succeeded());
    delivery->Success();
}

void CTransferDlg::OwnOutcome::Error(uint32_t outcomeId, FailureDetail detail) {
    Note(Outcome::Failed(outcomeId, detail));
    delivery->Error(outcomeId, detail);
}

void CTransferDlg::OwnOutcome::Note(const Outcome& outcome) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!noted_) {
        noted_ = outcome;
    }
}

bool CTransferDlg::OwnOutcome::Waiting() {
    std::lock_guard<std::mutex> lock(mutex_);
    return noted_ && !taken_;
}

std::optional<Outcome> CTransferDlg::OwnOutcome::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!noted_ || taken_) {
        return std::nullopt;
    }
    taken_ = true;
    return noted_;
}

bool CTransferDlg::OnInitDialog(TransferView& view) {
    view_ = &view;
    session_.context.progressBar = &view.WorkerProgress();
    own_.delivery = &view.WorkerOutcome();

    view.SetCaption(UiText(IDS_APP_TITLE));
    view.SetStatusText(UiText(session_.context.IsSend() ? IDS_SENDING : IDS_RECEIVING));
    // A connection failure reports its outcome itself, which closes the window.
    if (session_.Connect()) {
        startDue_ = true;
        view.SendStart();
        startDue_ = false;  // a start that arrives later is not this window's own
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
    if (!startDue_) {
        return 0;
    }
    startDue_ = false;
    return session_.Start();
}

// Which outcome message arrived does not matter: the box shows what this transfer noted.
uint32_t CTransferDlg::OnBkupSuccess() {
    ShowOwnOutcome();
    return 0;
}

uint32_t CTransferDlg::OnBkupError(uint32_t, FailureDetail) {
    ShowOwnOutcome();
    return 0;
}

bool CTransferDlg::OutcomeWaiting() {
    return !closed_ && view_ != nullptr && own_.Waiting();
}

void CTransferDlg::ShowOwnOutcome() {
    if (!OutcomeWaiting()) {
        return;
    }
    const Outcome outcome = *own_.Take();
    view_->ShowMessageBox(OutcomeText(outcome), UiText(IDS_APP_TITLE),
                          outcome.success ? kSuccessBoxStyle : kFailureBoxStyle);
    OnClose();
}

}  // namespace velloran
