#include "ui/qt/dialog_font.h"

#include <QStringList>

#include "res/dialog_templates.h"

namespace velloran {

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("ＭＳ Ｐゴシック"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic")});
    font.setPointSize(static_cast<int>(kDialogFontPoints));
    return font;
}

}  // namespace velloran
