#pragma once

#include <QTextBrowser>

#include "ui/qt/chm_archive.h"

namespace velloran {

// Shows the pages of one compiled help file: every page, style sheet and picture it
// asks for is read from the archive. Pages are UTF-8.
class HelpBrowser final : public QTextBrowser {
    Q_OBJECT

  public:
    HelpBrowser(const ChmArchive& archive, QWidget* parent);
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    const ChmArchive& archive_;
};

}  // namespace velloran
