#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bench/bench_jobs.h"

namespace velloran::bench {

// The jobs a run takes: all of them, the --quick ones, or those named with --job.
struct BenchOptions {
    bool help = false;
    bool trace = false;  // trace every exchange of every job to a file, as --trace does
    std::vector<const BenchJob*> jobs;
};

// Nothing, with `error` set, when an argument is unknown or a job name is not one of ours.
std::optional<BenchOptions> ParseBenchOptions(const std::vector<std::string>& args,
                                              std::string& error);

std::string BenchUsage();

}  // namespace velloran::bench
