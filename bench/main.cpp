// velloran-bench: the cost of each transfer job over its floor of one poll interval per
// exchange, with the real clock and the simulated printer.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "bench/bench_options.h"
#include "bench/bench_report.h"
#include "bench/measurement.h"

namespace {

using velloran::bench::BenchJob;
using velloran::bench::Measurement;

constexpr const char* kStateVariable = "VELLORAN_SIM_STATE_DIR";

// A fresh folder for the backup files; the printer's state goes there too unless the
// caller chose a state folder.
std::filesystem::path MakeWorkFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velloran-bench-XXXXXX").string();
    const std::filesystem::path folder = mkdtemp(pattern.data());
    if (std::getenv(kStateVariable) == nullptr) {
        setenv(kStateVariable, (folder / "sim-state").c_str(), 1);
    }
    return folder;
}

Measurement RunOne(const BenchJob& job, const std::filesystem::path& folder, bool trace) {
    std::cerr << "running " << job.name << " (" << job.description << ") ..." << std::endl;
    velloran::TransferRequest request;
    if (!velloran::bench::PrepareRequest(job, folder, request)) {
        Measurement failed;
        failed.job = job.name;
        failed.outcome = "source file not written";
        return failed;
    }
    std::ofstream traceFile;
    if (trace) {
        traceFile.open(folder / (std::string(job.name) + ".trace"));
    }
    Measurement m = velloran::bench::MeasureTransfer(job, request, trace ? &traceFile : nullptr);
    std::cerr << "  " << m.outcome << ", " << m.wallSeconds << " s" << std::endl;
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = velloran::bench::ParseBenchOptions({argv + 1, argv + argc}, error);
    if (!options || options->help) {
        (options ? std::cout : std::cerr)
            << (options ? "" : error + "\n") << velloran::bench::BenchUsage();
        return options ? 0 : 2;
    }
    const std::filesystem::path folder = MakeWorkFolder();
    std::vector<Measurement> results;
    bool allSucceeded = true;
    for (const BenchJob* job : options->jobs) {
        results.push_back(RunOne(*job, folder, options->trace));
        allSucceeded = allSucceeded && results.back().success;
    }
    std::filesystem::remove_all(folder);
    std::cout << velloran::bench::FormatTable(results);
    if (!allSucceeded) {
        std::cerr << "a job failed: is LD_LIBRARY_PATH set to the sim-driver folder?\n";
    }
    return allSucceeded ? 0 : 1;
}
