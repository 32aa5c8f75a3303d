#include "ui/qt/help_browser.h"

#include <QTextDocument>

namespace velloran {

HelpBrowser::HelpBrowser(const ChmArchive& archive, QWidget* parent)
    : QTextBrowser(parent), archive_(archive) {
    setOpenExternalLinks(false);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    QString path = name.path();
    if (!path.startsWith(QLatin1Char('/'))) {
        path.prepend(QLatin1Char('/'));
    }
    const std::optional<std::string> bytes = archive_.Read(path.toStdString());
    if (!bytes) {
        return {};
    }
    const QByteArray raw(bytes->data(), static_cast<qsizetype>(bytes->size()));
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
        return QString::fromUtf8(raw);
    }
    return raw;
}

}  // namespace velloran
