#pragma once

#include <cstdint>

#include "jobs/sinks.h"
#include "ui/ui_thread.h"

namespace velloran {

// Progress calls from the worker, carried to the user-interface thread and applied to
// the window's progress control there; each returns after the control has taken it.
class UiThreadProgress final : public ProgressSink {
  public:
    void Attach(ProgressSink& bar, UiThread& thread) {
        bar_ = &bar;
        thread_ = &thread;
    }
    void SetRange(uint32_t upper) override;
    void SetStep(uint32_t step) override;
    void SetPosition(uint32_t position) override;
    void Step() override;

  private:
    ProgressSink* bar_ = nullptr;
    UiThread* thread_ = nullptr;
};

// A transfer's outcome, carried to the user-interface thread and handed to the window's
// handler there; returns after the handler has returned.
class UiThreadOutcome final : public OutcomeSink {
  public:
    explicit UiThreadOutcome(OutcomeSink& handler) : handler_(handler) {}
    void Attach(UiThread& thread) { thread_ = &thread; }
    void Success() override;
    void Error(uint32_t outcomeId, FailureDetail detail) override;

  private:
    OutcomeSink& handler_;
    UiThread* thread_ = nullptr;
};

}  // namespace velloran
