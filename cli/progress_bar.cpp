#include "cli/progress_bar.h"

#include <string>

#include "cli/cli_constants.h"
#include "cli/progress_format.h"

namespace velloran::cli {

TerminalProgressBar::TerminalProgressBar(std::ostream& out, Clock& clock, uint64_t totalBytes)
    : out_(out), clock_(clock), totalBytes_(totalBytes) {}

void TerminalProgressBar::SetRange(uint32_t upper) {
    range_ = upper;
    startMs_ = clock_.TickMs();
    Draw();
}

void TerminalProgressBar::SetPosition(uint32_t position) {
    position_ = position;
    DrawIfDue();
}

void TerminalProgressBar::Step() {
    position_ += step_;
    DrawIfDue();
}

void TerminalProgressBar::Finish() {
    if (drawn_) {
        Draw();
        out_ << '\n' << std::flush;
    }
}

void TerminalProgressBar::DrawIfDue() {
    const uint32_t sinceDraw = clock_.TickMs() - lastDrawMs_;
    if (sinceDraw >= kRedrawIntervalMs || (range_ > 0 && position_ == range_)) {
        Draw();
    }
}

void TerminalProgressBar::Draw() {
    lastDrawMs_ = clock_.TickMs();
    std::string line = FormatProgressLine({position_, range_, lastDrawMs_ - startMs_, totalBytes_});
    if (line.size() < kProgressLineWidth) {
        line.append(kProgressLineWidth - line.size(), ' ');
    }
    out_ << '\r' << line << std::flush;
    drawn_ = true;
}

}  // namespace velloran::cli
