#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "bench/bench_jobs.h"

namespace velloran::bench {

// What one timed transfer cost.
struct Measurement {
    std::string job;
    uint64_t exchanges = 0;  // driver writes: one per frame or read request
    uint64_t reads = 0;      // driver reads: one per 10 ms poll
    uint64_t steps = 0;      // progress steps the job made
    double wallSeconds = 0;
    double cpuSeconds = 0;    // user and system time of the whole process
    uint64_t peakRssKiB = 0;  // the process's peak so far
    bool success = false;
    std::string outcome;  // "ok", or the outcome id and detail
};

// Runs the transfer with the system clock and the system library loader (its write and
// read entry points counted), and measures it. A verify job receives into memory and
// compares with the request's file within the time measured. With `trace`, every
// exchange is written to it, line by line.
Measurement MeasureTransfer(const BenchJob& job, const TransferRequest& request,
                            std::ostream* trace = nullptr);

}  // namespace velloran::bench
