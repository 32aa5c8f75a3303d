// The Windows program: one instance at a time, the main window until the user exits.
#include <windows.h>

#include <commctrl.h>

#include "ui/backup_app.h"
#include "ui/help_launcher.h"
#include "ui/win32/bkup_messages.h"
#include "ui/win32/html_help_viewer.h"
#include "ui/win32/main_window.h"
#include "ui/win32/module_path.h"
#include "ui/win32/mutex_instance_lock.h"

namespace {

class ProgramMainWindow final : public velloran::MainWindowRunner {
  public:
    void RunMainWindow() override {
        velloran::MainWindow window(help_);
        window_ = &window;
        window.DoModal(nullptr);
        window_ = nullptr;
    }

  private:
    velloran::MainWindow* window_ = nullptr;
    velloran::HtmlHelpViewer viewer_{[this] { return window_ ? window_->Handle() : nullptr; }};
    velloran::HelpLauncher help_{viewer_, &velloran::ProgramPath};
};

void LoadCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    velloran::RegisteredMessages();  // before any window exists
    LoadCommonControls();
    velloran::MutexInstanceLock lock;
    ProgramMainWindow mainWindow;
    velloran::CBackupApp app(lock, mainWindow, velloran::ProgramPath());
    app.InitInstance();
    return app.ExitInstance();
}
