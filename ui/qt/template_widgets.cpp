#include "ui/qt/template_widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>

#include "ui/qt/dialog_units.h"

namespace velloran {
namespace {

QLabel* MakeLabel(QWidget& parent, Qt::Alignment vertical) {
    auto* label = new QLabel(&parent);
    label->setAlignment(Qt::AlignLeft | vertical);
    label->setWordWrap(vertical == Qt::AlignTop);
    return label;
}

QPushButton* MakeButton(QWidget& parent, bool isDefault) {
    auto* button = new QPushButton(&parent);
    button->setAutoDefault(true);
    button->setDefault(isDefault);
    return button;
}

QProgressBar* MakeProgressBar(QWidget& parent) {
    auto* bar = new QProgressBar(&parent);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QWidget* MakeControl(QWidget& parent, ControlKind kind) {
    switch (kind) {
        case ControlKind::kGroupBox:
            return new QGroupBox(&parent);
        case ControlKind::kText:
            return MakeLabel(parent, Qt::AlignTop);
        case ControlKind::kTextCentred:
            return MakeLabel(parent, Qt::AlignVCenter);
        case ControlKind::kDropDownList:
            return new QComboBox(&parent);
        case ControlKind::kPushButton:
            return MakeButton(parent, false);
        case ControlKind::kDefaultPushButton:
            return MakeButton(parent, true);
        case ControlKind::kProgressBar:
            return MakeProgressBar(parent);
    }
    return nullptr;
}

// A drop-down list's template height is that of its open list; closed, it is as high as
// its font needs.
QRect PlacedRect(QWidget& control, const ControlTemplate& entry, const DialogBaseUnits& base) {
    QRect rect = ControlRect(entry, base);
    if (entry.kind == ControlKind::kDropDownList) {
        rect.setHeight(control.sizeHint().height());
    }
    return rect;
}

// A label's access key moves the focus to the next control that can take it.
void LinkLabelsToNextControl(const std::map<int32_t, QWidget*>& byId,
                             const DialogTemplate& dialog) {
    QLabel* pending = nullptr;
    for (const ControlTemplate& entry : dialog.controls) {
        QWidget* control = entry.id == IDC_NONE ? nullptr : byId.at(entry.id);
        if (auto* label = qobject_cast<QLabel*>(control)) {
            pending = label;
        } else if (pending != nullptr && control != nullptr &&
                   control->focusPolicy() != Qt::NoFocus) {
            pending->setBuddy(control);
            pending = nullptr;
        }
    }
}

}  // namespace

std::map<int32_t, QWidget*> BuildTemplateControls(QWidget& window, const DialogTemplate& dialog) {
    const DialogBaseUnits base = BaseUnitsOf(window.font());
    std::map<int32_t, QWidget*> byId;
    for (const ControlTemplate& entry : dialog.controls) {
        QWidget* control = MakeControl(window, entry.kind);
        control->setGeometry(PlacedRect(*control, entry, base));
        if (entry.name != nullptr) {
            control->setObjectName(QString::fromLatin1(entry.name));
        }
        if (entry.id != IDC_NONE) {
            byId[entry.id] = control;
        }
    }
    LinkLabelsToNextControl(byId, dialog);
    window.setFixedSize(DialogSize(dialog, base));
    return byId;
}

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("ＭＳ Ｐゴシック"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic")});
    font.setPointSize(static_cast<int>(kDialogFontPoints));
    return font;
}

}  // namespace velloran
