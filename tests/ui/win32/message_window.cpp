#include "tests/ui/win32/message_window.h"

namespace velloran::testing {
namespace {

constexpr wchar_t kClassName[] = L"VelloranTestMessageWindow";
constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr DWORD kPumpSliceMs = 10;

void RegisterClassOnce(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass);
    }();
    static_cast<void>(atom);
}

}  // namespace

MessageWindow::MessageWindow() {
    RegisterClassOnce(&Procedure);
    window_ = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageWindow::~MessageWindow() {
    DestroyWindow(window_);
}

bool MessageWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMs, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message < kFirstRegisteredMessage) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const Received received{message, wParam, lParam, GetCurrentThreadId()};
    self->received.push_back(received);
    if (self->onMessage) {
        self->onMessage(received);
    }
    return 0;
}

}  // namespace velloran::testing
