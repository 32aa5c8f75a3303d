#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "ui/file_dialog_request.h"

namespace velloran {

// The standard dialogs the windows open: message boxes and file dialogs. Tests answer
// them through a substitute.
class DesktopDialogs {
  public:
    virtual ~DesktopDialogs() = default;
    // style: the kBox* values; returns kAnswerOk, kAnswerYes or kAnswerNo.
    virtual int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                               uint32_t style) = 0;
    // The chosen file's full path, or nullopt when cancelled.
    virtual std::optional<QString> AskFile(QWidget* owner, const FileDialogRequest& request) = 0;
};

// The toolkit's own message box and file dialog.
class SystemDialogs final : public DesktopDialogs {
  public:
    int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                       uint32_t style) override;
    std::optional<QString> AskFile(QWidget* owner, const FileDialogRequest& request) override;
};

}  // namespace velloran
