#include "ui/qt/transfer_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <algorithm>
#include <limits>

#include "res/dialog_templates.h"
#include "ui/qt/template_widgets.h"
#include "ui/qt/window_input_qt.h"

namespace velloran {
namespace {

int ToBarValue(uint32_t value) {
    return static_cast<int>(std::min<uint32_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

void QtProgressBar::SetRange(uint32_t upper) {
    model_.SetRange(upper);
    Show();
}

void QtProgressBar::SetPosition(uint32_t position) {
    model_.SetPosition(position);
    Show();
}

void QtProgressBar::Step() {
    model_.Step();
    Show();
}

void QtProgressBar::Show() {
    bar_.setRange(0, ToBarValue(model_.Upper()));
    bar_.setValue(ToBarValue(model_.Position()));
}

TransferWindow::TransferWindow(CTransferDlg& transfer, DesktopDialogs& dialogs, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      transfer_(transfer),
      dialogs_(dialogs) {
    setFont(DialogFont());
    const auto controls = BuildTemplateControls(*this, kTransferTemplate);
    status_ = qobject_cast<QLabel*>(controls.at(IDC_STATUS));
    bar_ = qobject_cast<QProgressBar*>(controls.at(IDC_PROGRESS));
    progress_ = std::make_unique<QtProgressBar>(*bar_);
    workerProgress_ = std::make_unique<UiThreadProgress>(*progress_, thread_);
}

void TransferWindow::RunModal() {
    transfer_.OnInitDialog(*this);
    if (!ending_) {
        exec();
    }
}

void TransferWindow::SetCaption(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

void TransferWindow::SetStatusText(const std::string& text) {
    status_->setText(QString::fromStdString(text));
}

void TransferWindow::EndModal() {
    ending_ = true;
    // The owner becomes the active window before this one goes, so that the keyboard
    // comes back to it and not to another program's window.
    if (parentWidget() != nullptr) {
        parentWidget()->activateWindow();
    }
    done(QDialog::Rejected);
}

int TransferWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                   uint32_t style) {
    QWidget* owner = isVisible() ? this : parentWidget();
    return dialogs_.ShowMessageBox(owner, QString::fromStdString(text),
                                   QString::fromStdString(caption), style);
}

void TransferWindow::reject() {
    // The dialog's own ways out (Escape, a close request) end nothing: only EndModal does.
    if (ending_) {
        QDialog::reject();
    }
}

void TransferWindow::keyPressEvent(QKeyEvent* event) {
    if (CTransferDlg::PreTranslateMessage(InputOfKey(*event))) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TransferWindow::closeEvent(QCloseEvent* event) {
    if (!ending_ && CTransferDlg::PreTranslateMessage(WindowInput::kCloseRequest)) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace velloran
