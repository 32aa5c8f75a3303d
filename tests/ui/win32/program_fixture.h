#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/ui/win32/program_driving.h"
#include "tests/ui/win32/program_under_test.h"
#include "tests/ui/win32/window_probe.h"

namespace velloran::testing {

inline constexpr DWORD kExitTimeoutMs = 10000;
inline constexpr DWORD kQuietMs = 500;  // long enough for a wrongly handled input to act

// velloran.exe started by a test and driven from outside through its windows, against
// the simulated printer with a state folder of the test's own.
class ProgramTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Starts the program and waits for its main window.
    void Start(const std::string& programPath = VELLORAN_WIN32_PROGRAM);
    void SelectModel(int index) { testing::SelectModel(mainWindow, index); }
    void Press(int button) { PostClick(mainWindow, button); }
    HWND Wait(const WindowMark& mark, DWORD timeoutMs = kWindowTimeoutMs) {
        return WaitForWindow(program->Id(), mark, timeoutMs);
    }
    bool Showing(const WindowMark& mark) { return !VisibleWindows(program->Id(), mark).empty(); }

    // Waits for the save or open dialog, types `path` as the file name and presses OK.
    void AnswerFileDialog(const std::string& path);
    // The file name that the open save or open dialog proposes, once it has filled it in
    // (empty after kWindowTimeoutMs without one), and the file type it offers.
    std::wstring ProposedName();
    std::wstring OfferedType();
    // Waits for a message box and answers it with `button`.
    SeenBox AnswerBox(int button, DWORD timeoutMs = kWindowTimeoutMs);

    TempDir state;
    TempDir files;
    std::unique_ptr<ProgramUnderTest> program;
    HWND mainWindow = nullptr;
};

}  // namespace velloran::testing
