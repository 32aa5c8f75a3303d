#pragma once

#include <QFont>
#include <QWidget>
#include <cstdint>
#include <map>

#include "res/dialog_templates.h"

namespace velloran {

// Builds the controls of a dialog template as children of `window`, in tab order, each
// placed at its template position converted for the window's font, and fixes the
// window's size. Each control's object name is its id's name. Returns the controls that
// have an id, by id.
std::map<int32_t, QWidget*> BuildTemplateControls(QWidget& window, const DialogTemplate& dialog);

// The font of both windows: "ＭＳ Ｐゴシック" at the template's size, or the nearest
// proportional Japanese Gothic face installed.
QFont DialogFont();

}  // namespace velloran
