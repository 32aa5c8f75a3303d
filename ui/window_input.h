#pragma once

namespace velloran {

// What a front end hands a window's key filter before it processes an input itself.
enum class WindowInput {
    kEnter,         // the Enter key
    kEscape,        // the Escape key
    kCloseRequest,  // the close box, Alt+F4, the window manager's close
    kHelp,          // F1
    kOther,
};

}  // namespace velloran
