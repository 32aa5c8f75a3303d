#include "ui/transfer_dlg.h"

#include "jobs/dispatcher.h"
#include "jobs/outcome.h"
#include "jobs/string_table.h"
#include "ui/ui_constants.h"
#include "ui/ui_text.h"

namespace velloran {

CTransferDlg::CTransferDlg(const TransferEnvironment& environment)
    : starter_(environment.starter), context(*environment.loader, *environment.clock) {
    context.progressBar = &progress_;
    context.outcomeSink = &outcome_;
}

bool CTransferDlg::OnInitDialog(TransferView& view) {
    view_ = &view;
    progress_.Attach(view.ProgressBar(), view.Thread());
    outcome_.Attach(view.Thread());

    view.SetCaption(UiText(IDS_APP_TITLE));
    const bool send = context.IsSend();
    view.SetStatusText(UiText(send ? IDS_SENDING : IDS_RECEIVING));
    const uint32_t connectFailure = send ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED;

    CDeviceLink& link = context.deviceLink;
    if (link.Bind(static_cast<uint32_t>(context.modelIndex)) != 0 && link.Connect() != 0) {
        OnBkupStart();
    } else {
        context.outcomeSink->Error(connectFailure, kNoDetail);
    }
    return true;
}

void CTransferDlg::OnClose() {
    if (closed_) {
        return;
    }
    closed_ = true;
    context.deviceLink.Release();
    context.deviceLink.Unbind();
    view_->EndModal();
}

bool CTransferDlg::PreTranslateMessage(WindowInput input) {
    switch (input) {
        case WindowInput::Enter:
        case WindowInput::Escape:
        case WindowInput::CloseRequest:
        case WindowInput::Help:
            return true;
        case WindowInput::Other:
            break;
    }
    return false;
}

uint32_t CTransferDlg::OnBkupStart() {
    return velloran::OnBkupStart(context, *starter_);
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
