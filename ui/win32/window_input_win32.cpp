#include "ui/win32/window_input_win32.h"

namespace velloran {
namespace {

constexpr WPARAM kSystemCommandMask = 0xFFF0;  // the low four bits are the system's own

WindowInput InputOfKey(WPARAM key) {
    switch (key) {
        case VK_RETURN:
            return WindowInput::kEnter;
        case VK_ESCAPE:
            return WindowInput::kEscape;
        case VK_F1:
            return WindowInput::kHelp;
        default:
            return WindowInput::kOther;
    }
}

}  // namespace

WindowInput InputOfMessage(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
            return InputOfKey(msg.wParam);
        case WM_SYSKEYDOWN:
            return msg.wParam == VK_F4 ? WindowInput::kCloseRequest : WindowInput::kOther;
        case WM_SYSCOMMAND:
            return (msg.wParam & kSystemCommandMask) == SC_CLOSE ? WindowInput::kCloseRequest
                                                                 : WindowInput::kOther;
        default:
            return WindowInput::kOther;
    }
}

}  // namespace velloran
