#include "ui/win32/window_thread.h"

#include "ui/win32/bkup_messages.h"

namespace velloran {

void WindowThread::Send(const std::function<void()>& call) {
    const HWND window = window_;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        call();
        return;
    }
    SendMessageW(window, RegisteredMessages().uiCall, 0, reinterpret_cast<LPARAM>(&call));
}

LRESULT RunSentCall(LPARAM call) {
    (*reinterpret_cast<const std::function<void()>*>(call))();
    return 0;
}

}  // namespace velloran
