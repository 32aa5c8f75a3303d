#pragma once

namespace velloran {

// What a front end hands a window's key filter before it processes an input itself.
enum class WindowInput {
    Enter,         // the Enter key
    Escape,        // the Escape key
    CloseRequest,  // the close box, Alt+F4, the window manager's close
    Help,          // F1
    Other,
};

}  // namespace velloran
