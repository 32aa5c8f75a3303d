#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "jobs/outcome.h"
#include "jobs/sinks.h"

namespace velloran::testing {

// Records every progress call in order, as "range N", "step N", "pos N" and a count of
// steps.
class RecordingProgress final : public ProgressSink {
  public:
    void SetRange(uint32_t upper) override { Record("range " + std::to_string(upper)); }
    void SetStep(uint32_t step) override { Record("step " + std::to_string(step)); }
    void SetPosition(uint32_t position) override { Record("pos " + std::to_string(position)); }
    void Step() override { ++steps_; }
    uint32_t Steps() { return steps_; }
    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

  private:
    void Record(std::string call) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(call));
    }

    std::mutex mutex_;
    std::vector<std::string> calls_;
    std::atomic<uint32_t> steps_{0};
};

class RecordingOutcomes final : public OutcomeSink {
  public:
    void Success() override { Record(Outcome::Succeeded()); }
    void Error(uint32_t id, FailureDetail detail) override { Record(Outcome::Failed(id, detail)); }
    std::vector<Outcome> All() {
        std::lock_guard<std::mutex> lock(mutex_);
        return outcomes_;
    }

  private:
    void Record(const Outcome& outcome) {
        std::lock_guard<std::mutex> lock(mutex_);
        outcomes_.push_back(outcome);
    }

    std::mutex mutex_;
    std::vector<Outcome> outcomes_;
};

}  // namespace velloran::testing
