#include "ui/qt/chm_help_viewer.h"

namespace velloran {

bool ChmHelpViewer::DisplayContents(const std::string& helpPath) {
    std::unique_ptr<ChmArchive> archive = ChmArchive::Open(helpPath);
    if (!archive || !HelpWindow::HasContents(*archive)) {
        return false;
    }
    window_ = std::make_unique<HelpWindow>(std::move(archive));
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

}  // namespace velloran
