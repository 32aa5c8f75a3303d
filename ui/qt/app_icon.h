#pragma once

#include <QIcon>

namespace velloran {

// Icon 128, the label printer, built into the program.
QIcon AppIcon();

}  // namespace velloran
