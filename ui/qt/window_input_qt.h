#pragma once

#include <QKeyEvent>

#include "ui/window_input.h"

namespace velloran {

// The window input a key press stands for.
WindowInput InputOfKey(const QKeyEvent& event);

}  // namespace velloran
