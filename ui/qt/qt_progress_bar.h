#pragma once

#include <QProgressBar>

#include "jobs/sinks.h"
#include "ui/progress_model.h"

namespace velloran {

// The transfer window's progress control: the common control's arithmetic over a
// QProgressBar. User-interface thread only.
class QtProgressBar final : public ProgressSink {
  public:
    explicit QtProgressBar(QProgressBar& bar) : bar_(bar) {}
    void SetRange(uint32_t upper) override;
    void SetStep(uint32_t step) override { model_.SetStep(step); }
    void SetPosition(uint32_t position) override;
    void Step() override;

  private:
    void Show();

    QProgressBar& bar_;
    ProgressModel model_;
};

}  // namespace velloran
