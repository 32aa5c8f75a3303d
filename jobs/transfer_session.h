#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "jobs/outcome.h"
#include "jobs/receive_sink.h"
#include "jobs/sinks.h"
#include "jobs/transfer_context.h"
#include "jobs/worker_starter.h"
#include "link/exchange_observer.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "platform/printer_lock.h"

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

// The lock of one printer (see platform/printer_lock.h) together with the printer it
// names. A session holds one of its own; the command line hands in one that outlives the
// session, so that the two halves of `send --verify` are one use of the printer.
class PrinterHold {
  public:
    // Takes the lock of the printer at `deviceIndex` of `libraryFile`; held at once when
    // this hold has it already.
    [[nodiscard]] PrinterLockState Take(const std::string& libraryFile, int32_t deviceIndex);
    // The device index held for `libraryFile`, if any.
    std::optional<int32_t> HeldIndex(const std::string& libraryFile) const;
    void Release() { lock_.Release(); }

  private:
    PrinterLock lock_;
    std::string libraryFile_;
    int32_t deviceIndex_ = 0;
};

// What the command line asks of a transfer beyond what the windows do.
struct TransferOptions {
    PrinterHold* hold = nullptr;           // keeps the printer held after the transfer
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

// One transfer from opening the printer to closing it: the context with its device link,
// and the job's worker thread. The caller fills in the context (model, direction, file,
// sinks), then calls Connect and, when it succeeds, Start; once the outcome has been
// delivered, Release ends the device and frees the driver library. The session is the
// worker's one owner: its destructor joins a worker still returning from its outcome call
// before anything it reads goes away, then releases a link still held.
class TransferSession {
  public:
    explicit TransferSession(const TransferEnvironment& environment = {});
    ~TransferSession();
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    // Binds the model's driver library, takes the printer's lock and opens the printer:
    // the one a shared hold already holds, the one at `deviceIndex`, or else the first
    // that answers. A printer another transfer holds is refused with outcome 125 before
    // anything is sent to it; no other printer is tried. Any other failure reports
    // outcome 117 (send) or 118 (receive). Either goes to the context's outcome sink,
    // and Connect returns false.
    [[nodiscard]] bool Connect(std::optional<int32_t> deviceIndex = std::nullopt);
    // The printer's lock is taken in `hold`, which keeps it after Release.
    void ShareHold(PrinterHold& hold) { hold_ = &hold; }
    // Dispatches the job (see OnBkupStart in jobs/dispatcher.h).
    uint32_t Start();
    // Waits for the worker to end; it has delivered its outcome, or is returning from it.
    // The destructor does this; a caller need not.
    void Join();
    // Ends the device, frees the library and then drops the printer's lock unless a
    // shared hold keeps it; once, later calls do nothing. Never joins, so the
    // user-interface thread may call it from inside the outcome's handler.
    void Release();

    TransferContext context;

  private:
    // The printer to open, if one answers there; see Connect.
    std::optional<int32_t> ChooseDevice(const std::string& libraryFile,
                                        std::optional<int32_t> deviceIndex) const;

    WorkerStarter* starter_;
    PrinterHold ownHold_;
    PrinterHold* hold_ = &ownHold_;
    bool released_ = false;
};

// Runs one transfer the way the transfer window does, without a window: connects (a
// failure is outcome 117 for a send, 118 for a receive), starts the job, waits for its
// one outcome, then releases the printer.
Outcome RunTransfer(const TransferRequest& request, ProgressSink& progress,
                    const TransferEnvironment& environment = {},
                    const TransferOptions& options = {});

}  // namespace velloran
