#pragma once

#include <string>

#include "ui/instance_lock.h"
#include "ui/main_window_runner.h"

namespace velloran {

// The file name of the program at `programPath` without its folder and extension:
// the name of the single-instance token.
std::string ExecutableBaseName(const std::string& programPath);

// Starts and ends the program: one instance at a time, the main window run modally.
class CBackupApp {
  public:
    CBackupApp(InstanceLock& lock, MainWindowRunner& mainWindow, std::string programPath);

    // Takes the instance token named after the program; a second instance ends here
    // without a window or a message. Otherwise runs the main window until it closes.
    // Returns 0 in every case: there is no message loop of the program's own.
    int InitInstance();
    // Gives the token back; returns the program's exit code.
    int ExitInstance();

    bool HoldsInstance() const { return holdsInstance_; }

  private:
    InstanceLock& lock_;
    MainWindowRunner& mainWindow_;
    std::string programPath_;
    bool holdsInstance_ = false;
};

}  // namespace velloran
