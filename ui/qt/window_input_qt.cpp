#include "ui/qt/window_input_qt.h"

namespace velloran {

WindowInput InputOfKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return WindowInput::Enter;
        case Qt::Key_Escape:
            return WindowInput::Escape;
        case Qt::Key_F1:
            return WindowInput::Help;
        case Qt::Key_F4:
            return event.modifiers() == Qt::AltModifier ? WindowInput::CloseRequest
                                                        : WindowInput::Other;
        default:
            return WindowInput::Other;
    }
}

}  // namespace velloran
