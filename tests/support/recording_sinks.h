#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "jobs/outcome.h"
#include "jobs/sinks.h"

namespace velloran::testing {

// A list that several threads may add to.
template <typename T>
class LockedList {
  public:
    void Add(T item) {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(std::move(item));
    }
    std::vector<T> All() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }

  private:
    std::mutex mutex_;
    std::vector<T> items_;
};

// Records every progress call in order, as "range N", "step N", "pos N" and a count of
// steps.
class RecordingProgress final : public ProgressSink {
  public:
    void SetRange(uint32_t upper) override { calls_.Add("range " + std::to_string(upper)); }
    void SetStep(uint32_t step) override { calls_.Add("step " + std::to_string(step)); }
    void SetPosition(uint32_t position) override { calls_.Add("pos " + std::to_string(position)); }
    void Step() override { ++steps_; }
    uint32_t Steps() { return steps_; }
    std::vector<std::string> Calls() { return calls_.All(); }

  private:
    LockedList<std::string> calls_;
    std::atomic<uint32_t> steps_{0};
};

class RecordingOutcomes final : public OutcomeSink, public LockedList<Outcome> {
  public:
    void Success() override { Add(Outcome::Succeeded()); }
    void Error(uint32_t id, FailureDetail detail) override { Add(Outcome::Failed(id, detail)); }
};

}  // namespace velloran::testing
