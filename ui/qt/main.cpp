// The desktop program: one instance at a time, the main window until the user exits.
#include <QApplication>

#include "ui/backup_app.h"
#include "ui/help_launcher.h"
#include "ui/qt/app_icon.h"
#include "ui/qt/chm_help_viewer.h"
#include "ui/qt/desktop_dialogs.h"
#include "ui/qt/lock_file_instance.h"
#include "ui/qt/main_window.h"
#include "ui/qt/standard_texts.h"

namespace {

std::string ProgramPath() {
    return QCoreApplication::applicationFilePath().toStdString();
}

class MainWindowOfProgram final : public velloran::MainWindowRunner {
  public:
    void RunMainWindow() override {
        velloran::MainWindow window(dialogs_, help_);
        window.RunModal();
    }

  private:
    velloran::SystemDialogs dialogs_;
    velloran::ChmHelpViewer viewer_;
    velloran::HelpLauncher help_{viewer_, &ProgramPath, VELLORAN_INSTALLED_HELP_FOLDER};
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    velloran::LoadStandardTexts(application);
    QApplication::setWindowIcon(velloran::AppIcon());

    velloran::LockFileInstance lock(velloran::RuntimeFolder());
    MainWindowOfProgram mainWindow;
    velloran::CBackupApp app(lock, mainWindow, ProgramPath());
    app.InitInstance();
    return app.ExitInstance();
}
