#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace velloran::testing {

// A hidden top-level window of the test's thread that records the messages it is given
// and can pump its thread's queue, for tests of what other threads send it.
class MessageWindow {
  public:
    struct Received {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD threadId;
    };

    MessageWindow();
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return window_; }
    // Handles sent and posted messages until `done` holds; false after `timeoutMs`.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

    std::vector<Received> received;  // registered messages only (0xC000 and up)
    std::function<void(const Received&)> onMessage;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

}  // namespace velloran::testing
