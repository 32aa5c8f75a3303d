#pragma once

namespace velloran {

// Builds the main window and runs it modally; returns when it has closed.
class MainWindowRunner {
  public:
    virtual ~MainWindowRunner() = default;
    virtual void RunMainWindow() = 0;
};

}  // namespace velloran
