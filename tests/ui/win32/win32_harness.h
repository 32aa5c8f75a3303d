#pragma once

// What the Windows window tests share: velloran.exe started and driven from outside, a
// hidden owner window, and an answerer of this process's own message boxes.

#include <windows.h>

// After windows.h, on which it builds.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "res/resource.h"
#include "tests/support/temp_dir.h"
#include "ui/win32/driving/program_driving.h"
#include "ui/win32/driving/program_under_test.h"
#include "ui/win32/driving/window_probe.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {

using namespace velloran::driving;

inline constexpr DWORD kExitTimeoutMs = 10000;
inline constexpr DWORD kQuietMs = 500;  // long enough for a wrongly handled input to act

// velloran.exe started by a test and driven from outside through its windows, against
// the simulated printer with a state folder of the test's own.
class ProgramTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (program != nullptr && !program->WaitForExit(0)) {
            Press(IDC_EXIT);
            EXPECT_EQ(program->WaitForExit(kExitTimeoutMs), DWORD{0});
        }
    }

    // Starts the program and waits for its main window.
    void Start(const std::string& programPath = VELLORAN_WIN32_PROGRAM) {
        program = std::make_unique<ProgramUnderTest>(
            Utf16(programPath), SimulatedPrinterEnvironment(VELLORAN_SIM_DRIVER_DIR, state.Path()));
        ASSERT_TRUE(program->Started());
        mainWindow = Wait(kMainWindowMark);
        ASSERT_NE(mainWindow, nullptr);
    }
    void Press(int button) { PostClick(mainWindow, button); }
    HWND Wait(const WindowMark& mark, DWORD timeoutMs = kWindowTimeoutMs) {
        return WaitForWindow(program->Id(), mark, timeoutMs);
    }
    bool Showing(const WindowMark& mark) { return !VisibleWindows(program->Id(), mark).empty(); }
    // Waits for a message box and answers it with `button`.
    SeenBox AnswerBox(int button, DWORD timeoutMs = kWindowTimeoutMs) {
        const std::optional<SeenBox> seen = driving::AnswerBox(program->Id(), button, timeoutMs);
        EXPECT_TRUE(seen.has_value()) << "no message box";
        return seen.value_or(SeenBox{});
    }

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
// for each its owner and whether the transfer window showed at that moment.
class BoxAnswerer {
  public:
    struct Box {
        HWND owner;
        bool transferWindowVisible;
    };

    BoxAnswerer() : thread_([this] { Run(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }

    std::vector<Box> Boxes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    void Run() {
        constexpr DWORD kPollMs = 5;
        while (!stop_) {
            for (const HWND box : VisibleWindows(GetCurrentProcessId(), kMessageBoxMark)) {
                const bool transfer =
                    !VisibleWindows(GetCurrentProcessId(), kTransferWindowMark).empty();
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    boxes_.push_back({GetWindow(box, GW_OWNER), transfer});
                }
                PostClick(box, IDOK);
                WaitUntil([box] { return !IsWindow(box); }, kWindowTimeoutMs);
            }
            Sleep(kPollMs);
        }
    }

    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace velloran::testing
