#pragma once

#include <QFont>
#include <QRect>

#include "res/dialog_templates.h"

namespace velloran {

// The dialog base units of a font: the average width of the Latin letters and the line
// height, in pixels. A dialog unit is a quarter of the first across and an eighth of
// the second down, so templates keep their proportions whatever the font.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);

// Dialog units to pixels, rounded as the dialog manager rounds.
int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base);
QRect ControlRect(const ControlTemplate& control, const DialogBaseUnits& base);
QSize DialogSize(const DialogTemplate& dialog, const DialogBaseUnits& base);

}  // namespace velloran
