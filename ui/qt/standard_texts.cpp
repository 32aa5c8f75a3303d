#include "ui/qt/standard_texts.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace velloran {
namespace {

constexpr char kStandardTexts[] = "qtbase_ja";

}  // namespace

void LoadStandardTexts(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QString::fromLatin1(kStandardTexts),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace velloran
