// Draws the two windows of the program into PNG files for the documentation:
//   velloran-screenshots OUTPUT_FOLDER
// main-window.png is the main window as it opens; transfer-window.png is the transfer
// window during a receive from an LM-Q20, so the driver library must be reachable (the
// simulated printer: LD_LIBRARY_PATH and VELLORAN_SIM_STATE_DIR). Run it with
// QT_QPA_PLATFORM=offscreen: no display is needed.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "res/resource.h"
#include "ui/help_launcher.h"
#include "ui/qt/chm_help_viewer.h"
#include "ui/qt/main_window.h"
#include "ui/qt/standard_texts.h"
#include "ui/qt/transfer_window.h"
#include "ui/ui_constants.h"

namespace {

constexpr int kLmQ20Index = 1;
constexpr int kPollMs = 20;
constexpr int kShotAtPercent = 40;

// Answers every dialog: the given file, Yes to the confirmation, OK to the outcome.
class AnsweringDialogs final : public velloran::DesktopDialogs {
  public:
    explicit AnsweringDialogs(QString file) : file_(std::move(file)) {}
    int ShowMessageBox(QWidget*, const QString& text, const QString&, uint32_t style) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return (style & velloran::kBoxButtonsMask) == velloran::kBoxYesNo ? velloran::kAnswerYes
                                                                          : velloran::kAnswerOk;
    }
    std::optional<QString> AskFile(QWidget*, const velloran::FileDialogRequest&) override {
        return file_;
    }

  private:
    QString file_;
};

velloran::TransferWindow* OpenTransferWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<velloran::TransferWindow*>(widget);
        if (window != nullptr && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

bool Save(QWidget& window, const QString& path) {
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    velloran::LoadStandardTexts(application);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velloran-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir scratch;
    AnsweringDialogs dialogs(scratch.filePath(QStringLiteral("lmq20.vid")));
    velloran::ChmHelpViewer viewer;
    velloran::HelpLauncher help(viewer, [] { return std::string(); });
    velloran::MainWindow window(dialogs, help);
    window.Initialise();
    window.show();
    bool ok = Save(window, output.filePath(QStringLiteral("main-window.png")));

    bool transferShot = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        velloran::TransferWindow* transfer = OpenTransferWindow();
        auto* bar = transfer != nullptr ? transfer->findChild<QProgressBar*>() : nullptr;
        if (!transferShot && bar != nullptr &&
            bar->value() * 100 >= bar->maximum() * kShotAtPercent) {
            transferShot = Save(*transfer, output.filePath(QStringLiteral("transfer-window.png")));
        }
    });
    poll.start(kPollMs);
    qobject_cast<QComboBox*>(window.Control(IDC_MODEL))->setCurrentIndex(kLmQ20Index);
    qobject_cast<QPushButton*>(window.Control(IDC_RECEIVE))->click();
    return ok && transferShot ? 0 : 1;
}
