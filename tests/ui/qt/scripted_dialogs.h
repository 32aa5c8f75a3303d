#pragma once

#include <QApplication>
#include <QProgressBar>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "ui/qt/desktop_dialogs.h"
#include "ui/qt/transfer_window.h"
#include "ui/ui_constants.h"

namespace velloran::testing {

// What a message box showed, and the transfer window's bar at that moment.
struct RecordedBox {
    QString text;
    QString caption;
    uint32_t style = 0;
    bool transferWindowVisible = false;
    int barValue = -1;
    int barMaximum = -1;
};

// Answers the windows' standard dialogs from a script and records every box.
class ScriptedDialogs final : public DesktopDialogs {
  public:
    int ShowMessageBox(QWidget*, const QString& text, const QString& caption,
                       uint32_t style) override {
        RecordedBox box{text, caption, style};
        if (TransferWindow* transfer = VisibleTransferWindow()) {
            box.transferWindowVisible = true;
            const auto* bar = transfer->findChild<QProgressBar*>();
            box.barValue = bar->value();
            box.barMaximum = bar->maximum();
        }
        boxes.push_back(box);
        if (onBox) {
            onBox();
        }
        return (style & kBoxButtonsMask) == kBoxYesNo ? confirmAnswer : kAnswerOk;
    }

    std::optional<QString> AskFile(QWidget*, const FileDialogRequest& request) override {
        requests.push_back(request);
        if (files.empty()) {
            return std::nullopt;
        }
        std::optional<QString> next = files.front();
        files.pop_front();
        return next;
    }

    static TransferWindow* VisibleTransferWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<TransferWindow*>(widget);
            if (window != nullptr && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    std::deque<std::optional<QString>> files;
    int confirmAnswer = kAnswerYes;
    std::vector<RecordedBox> boxes;
    std::vector<FileDialogRequest> requests;
    std::function<void()> onBox;  // called at each box, before it is answered
};

}  // namespace velloran::testing

// Lets test failures print texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}
