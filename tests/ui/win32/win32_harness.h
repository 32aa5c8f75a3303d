#pragma once

// What the Windows window tests share: velloran.exe started and driven from outside, a
// hidden owner window, and an answerer of this process's own message boxes.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"
#include "ui/win32/driving/program_driving.h"
#include "ui/win32/driving/program_under_test.h"
#include "ui/win32/driving/window_probe.h"

namespace velloran::testing {

using namespace velloran::driving;

inline constexpr DWORD kExitTimeoutMs = 10000;
inline constexpr DWORD kQuietMs = 500;  // long enough for a wrongly handled input to act

// velloran.exe started by a test and driven from outside through its windows, against
// the simulated printer with a state folder of the test's own.
class ProgramTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Starts the program and waits for its main window.
    void Start(const std::string& programPath = VELLORAN_WIN32_PROGRAM);
    void Press(int button) { PostClick(mainWindow, button); }
    HWND Wait(const WindowMark& mark, DWORD timeoutMs = kWindowTimeoutMs) {
        return WaitForWindow(program->Id(), mark, timeoutMs);
    }
    bool Showing(const WindowMark& mark) { return !VisibleWindows(program->Id(), mark).empty(); }
    // Waits for a message box and answers it with `button`.
    SeenBox AnswerBox(int button, DWORD timeoutMs = kWindowTimeoutMs);

    TempDir state;
    TempDir files;
    std::unique_ptr<ProgramUnderTest> program;
    HWND mainWindow = nullptr;
};

// A hidden top-level window of the test's thread, to own the windows under test.
struct OwnerWindow {
    OwnerWindow() = default;
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    ~OwnerWindow() { DestroyWindow(handle); }
    HWND handle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
};

// Answers the message boxes of this process with OK from a thread of its own, noting
// for each what it said and what the transfer window showed at that moment.
class BoxAnswerer {
  public:
    struct Box {
        std::wstring text;
        std::wstring caption;
        HWND owner;
        bool transferWindowVisible;
        LRESULT barPosition;  // -1 without a visible transfer window
    };

    BoxAnswerer() : thread_([this] { Run(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<Box> Boxes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    void Run();

    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace velloran::testing
