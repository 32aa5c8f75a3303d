#include "ui/qt/window_input_qt.h"

namespace velloran {

WindowInput InputOfKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return WindowInput::kEnter;
        case Qt::Key_Escape:
            return WindowInput::kEscape;
        case Qt::Key_F1:
            return WindowInput::kHelp;
        case Qt::Key_F4:
            return event.modifiers() == Qt::AltModifier ? WindowInput::kCloseRequest
                                                        : WindowInput::kOther;
        default:
            return WindowInput::kOther;
    }
}

}  // namespace velloran
