#include "ui/help_launcher.h"

#include "jobs/string_table.h"
#include "ui/ui_constants.h"
#include "ui/ui_text.h"

namespace velloran {
namespace {

#ifdef _WIN32
constexpr char kPathSeparators[] = "\\/";
#else
constexpr char kPathSeparators[] = "/";
#endif

}  // namespace

std::string HelpPathFor(const std::string& programPath) {
    const size_t separator = programPath.find_last_of(kPathSeparators);
    if (separator == std::string::npos) {
        return programPath;
    }
    return programPath.substr(0, separator + 1) + kHelpFileName;
}

void HelpLauncher::OnHelpButton(MessageBoxView& owner) {
    const std::string helpPath = HelpPathFor(programPath_());
    if (helpPath.empty()) {
        return;
    }
    if (viewer_.IsBlocked(helpPath)) {
        owner.ShowMessageBox(UiText(IDS_HELP_BLOCKED), UiText(IDS_APP_TITLE), kFailureBoxStyle);
        return;
    }
    if (viewer_.DisplayContents(helpPath)) {
        return;
    }
    const std::string programPath = programPath_();
    const size_t separator = programPath.find_last_of(kPathSeparators);
    if (!installedHelpFolder_.empty() && separator != std::string::npos &&
        viewer_.DisplayContents(programPath.substr(0, separator + 1) + installedHelpFolder_ + "/" +
                                kHelpFileName)) {
        return;
    }
    owner.ShowMessageBox(UiText(IDS_HELP_MISSING), UiText(IDS_APP_TITLE), kFailureBoxStyle);
}

}  // namespace velloran
