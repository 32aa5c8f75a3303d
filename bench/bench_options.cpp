#include "bench/bench_options.h"

namespace velloran::bench {
namespace {

const BenchJob* FindJob(const std::string& name) {
    for (const BenchJob& job : AllBenchJobs()) {
        if (name == job.name) {
            return &job;
        }
    }
    return nullptr;
}

std::vector<const BenchJob*> Jobs(bool quickOnly) {
    std::vector<const BenchJob*> jobs;
    for (const BenchJob& job : AllBenchJobs()) {
        if (!quickOnly || job.quick) {
            jobs.push_back(&job);
        }
    }
    return jobs;
}

}  // namespace

std::optional<BenchOptions> ParseBenchOptions(const std::vector<std::string>& args,
                                              std::string& error) {
    BenchOptions options;
    bool quick = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            options.help = true;
        } else if (args[i] == "--quick") {
            quick = true;
        } else if (args[i] == "--trace") {
            options.trace = true;
        } else if (args[i] == "--job" && i + 1 < args.size() && FindJob(args[i + 1]) != nullptr) {
            options.jobs.push_back(FindJob(args[++i]));
        } else {
            error = "unknown argument or job: " + args[i];
            return std::nullopt;
        }
    }
    if (options.jobs.empty()) {
        options.jobs = Jobs(quick);
    }
    return options;
}

std::string BenchUsage() {
    std::string text =
        "Usage: velloran-bench [--quick] [--trace] [--job NAME]...\n"
        "Times transfers against the simulated printer with the real clock and prints a\n"
        "Markdown table. Run with LD_LIBRARY_PATH at the sim-driver folder; the printer's\n"
        "memory goes to $VELLORAN_SIM_STATE_DIR, or to a temporary folder when unset.\n"
        "--trace writes every exchange of every job to a trace file, as velloran-cli\n"
        "--trace does, to measure what tracing costs.\n"
        "Jobs (a full run takes about six minutes; --quick runs the starred ones):\n";
    for (const BenchJob& job : AllBenchJobs()) {
        text += std::string("  ") + (job.quick ? "* " : "  ") + job.name + "  " + job.description +
                "\n";
    }
    return text;
}

}  // namespace velloran::bench
