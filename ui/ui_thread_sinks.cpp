#include "ui/ui_thread_sinks.h"

#include "ui/transfer_dlg.h"

namespace velloran {

void UiThreadProgress::SetRange(uint32_t upper) {
    thread_.Send([this, upper] { bar_.SetRange(upper); });
}

void UiThreadProgress::SetStep(uint32_t step) {
    thread_.Send([this, step] { bar_.SetStep(step); });
}

void UiThreadProgress::SetPosition(uint32_t position) {
    thread_.Send([this, position] { bar_.SetPosition(position); });
}

void UiThreadProgress::Step() {
    thread_.Send([this] { bar_.Step(); });
}

void UiThreadOutcome::Success() {
    thread_.Send([this] { transfer_.OnBkupSuccess(); });
}

void UiThreadOutcome::Error(uint32_t outcomeId, FailureDetail detail) {
    thread_.Send([this, outcomeId, detail] { transfer_.OnBkupError(outcomeId, detail); });
}

}  // namespace velloran
