#pragma once

#include <cstdint>

#include "jobs/sinks.h"
#include "ui/ui_thread.h"

namespace velloran {

class CTransferDlg;

// Progress calls from the worker, carried to the user-interface thread and applied to
// the window's progress control there; each returns after the control has taken it.
class UiThreadProgress final : public ProgressSink {
  public:
    UiThreadProgress(ProgressSink& bar, UiThread& thread) : bar_(bar), thread_(thread) {}
    void SetRange(uint32_t upper) override;
    void SetStep(uint32_t step) override;
    void SetPosition(uint32_t position) override;
    void Step() override;

  private:
    ProgressSink& bar_;
    UiThread& thread_;
};

// A transfer's outcome, carried to the user-interface thread and handed to the transfer
// window's handler there; returns after the handler has returned.
class UiThreadOutcome final : public OutcomeSink {
  public:
    UiThreadOutcome(CTransferDlg& transfer, UiThread& thread)
        : transfer_(transfer), thread_(thread) {}
    void Success() override;
    void Error(uint32_t outcomeId, FailureDetail detail) override;

  private:
    CTransferDlg& transfer_;
    UiThread& thread_;
};

}  // namespace velloran
