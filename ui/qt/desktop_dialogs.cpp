#include "ui/qt/desktop_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/ui_constants.h"

namespace velloran {
namespace {

QMessageBox::Icon IconOf(uint32_t style) {
    switch (style & kBoxIconMask) {
        case kBoxIconExclamation:
            return QMessageBox::Warning;
        case kBoxIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(uint32_t style) {
    return (style & kBoxButtonsMask) == kBoxYesNo ? QMessageBox::Yes | QMessageBox::No
                                                  : QMessageBox::Ok;
}

int AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return kAnswerOk;
    }
}

QString FilterOf(const FileDialogRequest& request) {
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(request.filterName),
                                         QString::fromStdString(request.filterPattern));
}

}  // namespace

int SystemDialogs::ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                                  uint32_t style) {
    QMessageBox box(IconOf(style), caption, text, ButtonsOf(style), owner);
    // The owner takes the activation back as the box goes.
    if (owner != nullptr) {
        QObject::connect(&box, &QDialog::finished, owner, [owner] { owner->activateWindow(); });
    }
    return AnswerOf(box.exec());
}

std::optional<QString> SystemDialogs::AskFile(QWidget* owner, const FileDialogRequest& request) {
    const bool save = request.kind == FileDialogKind::kSave;
    QFileDialog dialog(owner);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setNameFilter(FilterOf(request));
    if (!request.initialName.empty()) {
        dialog.selectFile(QString::fromStdString(request.initialName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace velloran
