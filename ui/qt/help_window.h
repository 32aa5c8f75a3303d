#pragma once

#include <QTextBrowser>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

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

// The help window: the table of contents beside the page chosen in it. It owns the
// opened help file and opens on the file's default page.
class HelpWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(std::unique_ptr<ChmArchive> archive);

    // Whether the archive holds what the window shows: its system file and a table of
    // contents with at least one topic. Without them the window would stand empty.
    static bool HasContents(const ChmArchive& archive);

    QTreeWidget& Contents() { return *contents_; }
    HelpBrowser& Browser() { return *browser_; }

  private:
    void FillContents(const std::string& contentsFile);
    void ShowTopic(const QTreeWidgetItem* item);

    std::unique_ptr<ChmArchive> archive_;
    QTreeWidget* contents_ = nullptr;
    HelpBrowser* browser_ = nullptr;
};

}  // namespace velloran
