#include "ui/qt/dialog_units.h"

#include <QFontMetrics>

namespace velloran {
namespace {

constexpr char kLatinLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kLetterCount = 52;
constexpr int kUnitsPerBaseX = 4;
constexpr int kUnitsPerBaseY = 8;

// units * base / per, rounded half away from zero, as MulDiv does.
int MulDivRounded(int units, int base, int per) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = per / 2;
    return static_cast<int>(product >= 0 ? (product + half) / per : (product - half) / per);
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int lettersWidth = metrics.horizontalAdvance(QString::fromLatin1(kLatinLetters));
    return {(lettersWidth / (kLetterCount / 2) + 1) / 2, metrics.height()};
}

int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) {
    return MulDivRounded(units, base.x, kUnitsPerBaseX);
}

int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) {
    return MulDivRounded(units, base.y, kUnitsPerBaseY);
}

QRect ControlRect(const ControlTemplate& control, const DialogBaseUnits& base) {
    return {DialogUnitsToPixelsX(control.x, base), DialogUnitsToPixelsY(control.y, base),
            DialogUnitsToPixelsX(control.width, base), DialogUnitsToPixelsY(control.height, base)};
}

QSize DialogSize(const DialogTemplate& dialog, const DialogBaseUnits& base) {
    return {DialogUnitsToPixelsX(dialog.width, base), DialogUnitsToPixelsY(dialog.height, base)};
}

}  // namespace velloran
