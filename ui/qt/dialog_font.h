#pragma once

#include <QFont>

namespace velloran {

// The font of both windows: "ＭＳ Ｐゴシック" at the template's size, or the nearest
// proportional Japanese Gothic face installed.
QFont DialogFont();

}  // namespace velloran
