#include "bench/measurement.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <optional>

#include "bench/counting_loader.h"
#include "jobs/backup_compare.h"
#include "jobs/exchange_trace.h"
#include "jobs/outcome.h"

namespace velloran::bench {
namespace {

constexpr double kMicrosPerSecond = 1e6;

// Counts the steps and draws nothing: the benchmark times the transfer, not a display.
class StepCounter final : public ProgressSink {
  public:
    void SetRange(uint32_t) override {}
    void SetStep(uint32_t) override {}
    void SetPosition(uint32_t) override {}
    void Step() override { ++steps; }
    uint64_t steps = 0;  // written by one thread at a time; read after the transfer
};

double Seconds(const timeval& t) {
    return t.tv_sec + t.tv_usec / kMicrosPerSecond;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

uint64_t PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<uint64_t>(usage.ru_maxrss);  // kibibytes on Linux
}

std::string Describe(const Outcome& outcome) {
    if (outcome.success) {
        return "ok";
    }
    char text[48];
    std::snprintf(text, sizeof text, "failed %u%s", outcome.outcomeId,
                  FailureDetailSuffix(outcome.detail).c_str());
    return text;
}

}  // namespace

Measurement MeasureTransfer(const BenchJob& job, const TransferRequest& request,
                            std::ostream* trace) {
    CountingLoader loader(SystemLibraryLoader());
    TransferEnvironment environment;
    environment.loader = &loader;
    environment.clock = &SystemClock();
    StepCounter progress;
    CountingLoader::ResetCounts();
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::optional<ExchangeTrace> tracer;
    MemoryReceiveSink received;
    TransferOptions options;
    if (trace != nullptr) {
        tracer.emplace(*trace, SystemClock());
        options.observer = &*tracer;
    }
    if (job.verify) {
        options.receiveSink = &received;
    }
    Outcome outcome = RunTransfer(request, progress, environment, options);
    const bool compared = !job.verify || !outcome.success ||
                          VerifyAgainstReceived(request.filePath, job.modelIndex, received.Bytes());
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    if (!compared) {
        outcome = Outcome::Failed(IDS_SEND_FAILED, kNoDetail);  // the file was refused
    }

    Measurement m;
    m.job = job.name;
    m.exchanges = CountingLoader::Counts().writes;
    m.reads = CountingLoader::Counts().reads;
    m.steps = progress.steps;
    m.wallSeconds = wall.count();
    m.cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    m.peakRssKiB = PeakRssKiB();
    m.success = outcome.success;
    m.outcome = Describe(outcome);
    return m;
}

}  // namespace velloran::bench
