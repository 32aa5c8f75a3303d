#include "ui/qt/main_window.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "res/dialog_templates.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/template_widgets.h"
#include "ui/qt/transfer_window.h"
#include "ui/qt/window_input_qt.h"

namespace velloran {

MainWindow::MainWindow(DesktopDialogs& dialogs, HelpLauncher& help, MainDlgEnvironment environment)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      logic_(*this, help, std::move(environment)) {
    setFont(DialogFont());
    controls_ = BuildTemplateControls(*this, kMainTemplate);
    modelList_ = qobject_cast<QComboBox*>(controls_.at(IDC_MODEL));
    ConnectCommands();
}

void MainWindow::ConnectCommands() {
    auto button = [this](int32_t id) { return qobject_cast<QPushButton*>(controls_.at(id)); };
    connect(button(IDC_RECEIVE), &QPushButton::clicked, this, [this] { logic_.OnReceive(); });
    connect(button(IDC_SEND), &QPushButton::clicked, this, [this] { logic_.OnSend(); });
    connect(button(IDC_HELP_BUTTON), &QPushButton::clicked, this,
            [this] { logic_.OnHelpButton(); });
    connect(button(IDC_EXIT), &QPushButton::clicked, this, &QDialog::accept);
    connect(modelList_, &QComboBox::currentIndexChanged, this,
            [this] { logic_.OnSelchangeModel(); });
}

void MainWindow::RunModal() {
    logic_.OnInitDialog();
    // Runs until Exit or the close box like exec(), but without making the window
    // application-modal: the help window it opens must stay usable beside it.
    QEventLoop untilClosed;
    connect(this, &QDialog::finished, &untilClosed, &QEventLoop::quit);
    show();
    untilClosed.exec();
}

void MainWindow::SetCaption(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

void MainWindow::SetAppIcon() {
    setWindowIcon(AppIcon());
}

void MainWindow::SetControlText(int32_t controlId, const std::string& text) {
    const QString value = QString::fromStdString(text);
    QWidget* control = controls_.at(controlId);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(value);
    }
}

void MainWindow::AddModel(const std::string& displayName) {
    modelList_->addItem(QString::fromStdString(displayName));
}

void MainWindow::SetModelSelection(int32_t index) {
    modelList_->setCurrentIndex(index);
}

int32_t MainWindow::ModelSelection() const {
    return modelList_->currentIndex();
}

std::optional<std::string> MainWindow::AskFile(const FileDialogRequest& request) {
    const std::optional<QString> path = dialogs_.AskFile(this, request);
    if (!path) {
        return std::nullopt;
    }
    return path->toStdString();
}

void MainWindow::DoModal(CTransferDlg& transfer) {
    TransferWindow window(transfer, dialogs_, this);
    window.RunModal();
}

int MainWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                               uint32_t style) {
    return dialogs_.ShowMessageBox(this, QString::fromStdString(text),
                                   QString::fromStdString(caption), style);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (CMainDlg::PreTranslateMessage(InputOfKey(*event))) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace velloran
