#include "ui/qt/app_icon.h"

namespace velloran {

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/velloran/app_icon.png"));
}

}  // namespace velloran
