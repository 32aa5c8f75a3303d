#pragma once

#include <cstdint>

#include "jobs/failure_detail.h"

namespace velloran {

// The progress bar of a transfer. Every call is synchronous: it returns only after the
// user-interface thread has handled it, so a job is paced by that thread.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void SetRange(uint32_t upper) = 0;
    virtual void SetStep(uint32_t step) = 0;
    virtual void SetPosition(uint32_t position) = 0;
    virtual void Step() = 0;
};

// Where a transfer's one outcome goes. Synchronous like ProgressSink: a job's outcome
// call is its last action, and the window may release the device before it returns.
class OutcomeSink {
  public:
    virtual ~OutcomeSink() = default;
    virtual void Success() = 0;
    virtual void Error(uint32_t outcomeId, FailureDetail detail) = 0;
};

}  // namespace velloran
