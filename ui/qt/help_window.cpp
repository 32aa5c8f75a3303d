#include "ui/qt/help_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTextDocument>
#include <algorithm>
#include <vector>

#include "ui/qt/app_icon.h"
#include "ui/qt/chm_system.h"
#include "ui/qt/help_contents.h"
#include "ui/qt/help_text.h"

namespace velloran {
namespace {

constexpr char kSystemObject[] = "/#SYSTEM";
constexpr int kPageRole = Qt::UserRole;
constexpr int kContentsWidth = 260;
constexpr int kPageWidth = 560;
constexpr int kWindowHeight = 480;

QUrl PageUrl(const std::string& local) {
    return QUrl(QLatin1Char('/') + QString::fromStdString(local));
}

std::vector<HelpTopic> ContentsTopics(const ChmArchive& archive, const std::string& contentsFile) {
    const QString sitemap =
        FromHelpCodePage(archive.Read("/" + contentsFile).value_or(std::string()));
    return ParseHelpContents(sitemap.toStdString());
}

}  // namespace

bool HelpWindow::HasContents(const ChmArchive& archive) {
    const std::optional<std::string> system = archive.Read(kSystemObject);
    if (!system) {
        return false;
    }
    const std::string contentsFile = ParseChmSystem(*system).contentsFile;
    return !contentsFile.empty() && !ContentsTopics(archive, contentsFile).empty();
}

HelpWindow::HelpWindow(std::unique_ptr<ChmArchive> archive)
    : QWidget(nullptr, Qt::Window), archive_(std::move(archive)) {
    auto* splitter = new QSplitter(this);
    contents_ = new QTreeWidget(splitter);
    contents_->setHeaderHidden(true);
    contents_->setObjectName(QStringLiteral("contents"));
    browser_ = new HelpBrowser(*archive_, splitter);
    browser_->setObjectName(QStringLiteral("page"));
    splitter->setSizes({kContentsWidth, kPageWidth});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(kContentsWidth + kPageWidth, kWindowHeight);
    setWindowIcon(AppIcon());

    const ChmSystemInfo system = ParseChmSystem(archive_->Read(kSystemObject).value_or(""));
    setWindowTitle(FromHelpCodePage(system.title));
    FillContents(system.contentsFile);
    connect(contents_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { ShowTopic(item); });
    if (!system.defaultTopic.empty()) {
        browser_->setSource(PageUrl(system.defaultTopic));
    }
}

void HelpWindow::FillContents(const std::string& contentsFile) {
    std::vector<QTreeWidgetItem*> parents;  // the last item at each depth
    for (const HelpTopic& topic : ContentsTopics(*archive_, contentsFile)) {
        const size_t depth = std::min(static_cast<size_t>(topic.depth), parents.size());
        auto* item =
            depth == 0 ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents[depth - 1]);
        item->setText(0, QString::fromStdString(topic.name));
        item->setData(0, kPageRole, QString::fromStdString(topic.local));
        parents.resize(depth);
        parents.push_back(item);
    }
    contents_->expandAll();
}

void HelpWindow::ShowTopic(const QTreeWidgetItem* item) {
    const QString local = item != nullptr ? item->data(0, kPageRole).toString() : QString();
    if (!local.isEmpty()) {
        browser_->setSource(PageUrl(local.toStdString()));
    }
}

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
