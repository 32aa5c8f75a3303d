#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "jobs/outcome.h"
#include "jobs/receive_sink.h"
#include "jobs/sinks.h"
#include "jobs/worker_starter.h"
#include "link/exchange_observer.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"

namespace velloran {

// An OutcomeSink for front ends without a window: it keeps the outcome and lets the
// caller wait for it. Outcomes after the first are counted, never kept.
class AwaitedOutcome final : public OutcomeSink {
  public:
    void Success() override { Deliver(Outcome::Succeeded()); }
    void Error(uint32_t outcomeId, FailureDetail detail) override {
        Deliver(Outcome::Failed(outcomeId, detail));
    }
    Outcome Wait();
    uint32_t Deliveries();

  private:
    void Deliver(const Outcome& outcome);

    std::mutex mutex_;
    std::condition_variable delivered_;
    std::optional<Outcome> outcome_;
    uint32_t deliveries_ = 0;
};

struct TransferRequest {
    int32_t modelIndex = 0;
    int32_t direction = 0;
    std::string filePath;
};

// What the command line asks of a transfer beyond what the windows do.
struct TransferOptions {
    std::optional<int32_t> deviceIndex;    // open this device index, not the first that answers
    ReceiveSink* receiveSink = nullptr;    // a receive into memory instead of filePath
    ExchangeObserver* observer = nullptr;  // told of every exchange
};

// The seams a transfer runs over; production uses the system's.
struct TransferEnvironment {
    LibraryLoader* loader = &SystemLibraryLoader();
    Clock* clock = &SystemClock();
    WorkerStarter* starter = &SystemWorkerStarter();
};

// Runs one transfer the way the transfer window does, without a window: binds the
// model's driver library and opens the printer (a failure is outcome 117 for a send, 118
// for a receive), dispatches, waits for the job's one outcome, then ends the device and
// frees the library.
Outcome RunTransfer(const TransferRequest& request, ProgressSink& progress,
                    const TransferEnvironment& environment = {},
                    const TransferOptions& options = {});

}  // namespace velloran
