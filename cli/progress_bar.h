#pragma once

#include <cstdint>
#include <ostream>

#include "jobs/sinks.h"
#include "platform/clock.h"

namespace velloran::cli {

// A ProgressSink drawn as one line on a terminal, rewritten in place. It redraws at most
// every kRedrawIntervalMs, and always when the bar becomes full, so a fast transfer does
// not spend its time writing to the terminal. The calls come from one thread at a time
// (the dispatcher's, then the worker's), so it needs no lock.
class TerminalProgressBar final : public ProgressSink {
  public:
    // `totalBytes`: the bytes the transfer moves once the bar is full.
    TerminalProgressBar(std::ostream& out, Clock& clock, uint64_t totalBytes);

    void SetRange(uint32_t upper) override;
    void SetStep(uint32_t step) override { step_ = step; }
    void SetPosition(uint32_t position) override;
    void Step() override;

    // Draws the last state and ends the line, if a line was started.
    void Finish();

  private:
    void Draw();
    void DrawIfDue();

    std::ostream& out_;
    Clock& clock_;
    uint64_t totalBytes_;
    uint32_t range_ = 0;
    uint32_t step_ = 1;
    uint32_t position_ = 0;
    uint32_t startMs_ = 0;
    uint32_t lastDrawMs_ = 0;
    bool drawn_ = false;
};

}  // namespace velloran::cli
