#include "ui/backup_app.h"

#include <utility>

namespace velloran {

std::string ExecutableBaseName(const std::string& programPath) {
    const size_t separator = programPath.find_last_of("/\\");
    std::string name =
        separator == std::string::npos ? programPath : programPath.substr(separator + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

CBackupApp::CBackupApp(InstanceLock& lock, MainWindowRunner& mainWindow, std::string programPath)
    : lock_(lock), mainWindow_(mainWindow), programPath_(std::move(programPath)) {}

int CBackupApp::InitInstance() {
    holdsInstance_ = lock_.TryAcquire(ExecutableBaseName(programPath_));
    if (!holdsInstance_) {
        return 0;
    }
    mainWindow_.RunMainWindow();
    return 0;
}

int CBackupApp::ExitInstance() {
    if (holdsInstance_) {
        lock_.Release();
        holdsInstance_ = false;
    }
    return 0;
}

}  // namespace velloran
