#pragma once

// What the Qt window tests share: the standard dialogs answered from a script, a help
// viewer that always opens, and the main window over them.

#include <QApplication>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/help_launcher.h"
#include "ui/qt/desktop_dialogs.h"
#include "ui/qt/main_window.h"
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
    bool operator==(const RecordedBox&) const = default;
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
        return (style & 0x0F) == 0x04 ? 6 : 1;  // Yes to Yes/No, else OK
    }

    // The next scripted file; cancelled when none is left.
    std::optional<QString> AskFile(QWidget*, const FileDialogRequest&) override {
        if (files.empty()) {
            return std::nullopt;
        }
        return files.takeFirst();
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

    QStringList files;
    std::vector<RecordedBox> boxes;
};

inline HelpViewer& AlwaysOpeningHelp() {
    static struct final : HelpViewer {
        bool DisplayContents(const std::string&) override { return true; }
    } viewer;
    return viewer;
}

// The main window, initialised, over scripted dialogs.
struct Windows {
    explicit Windows(
        MainDlgEnvironment environment = {}, HelpViewer& viewer = AlwaysOpeningHelp(),
        HelpLauncher::ProgramPathSource programPath = [] { return std::string(); })
        : help(viewer, std::move(programPath)), window(dialogs, help, std::move(environment)) {
        window.Initialise();
    }

    template <typename T>
    T* Control(int32_t id) const {
        return qobject_cast<T*>(window.Control(id));
    }
    void Click(int32_t button) { Control<QPushButton>(button)->click(); }
    // Chooses the model, has the file dialog answer `file` and presses the button.
    void Press(int32_t model, int32_t button, const std::string& file) {
        Control<QComboBox>(IDC_MODEL)->setCurrentIndex(model);
        dialogs.files = {QString::fromStdString(file)};
        Click(button);
    }

    ScriptedDialogs dialogs;
    HelpLauncher help;
    MainWindow window;
};

}  // namespace velloran::testing
