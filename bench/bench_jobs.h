#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "jobs/transfer_session.h"

namespace velloran::bench {

// The kind of file a send job reads; receives write one and read none.
enum class SourceFile { kNone, kSingleRegion, kMultiRegion };

// One transfer the benchmark times.
struct BenchJob {
    const char* name;
    const char* description;
    int32_t modelIndex;
    int32_t direction;
    SourceFile source;
    bool quick;  // part of a --quick run
};

// Every job, in the order a full run takes them.
std::span<const BenchJob> AllBenchJobs();

// The request for `job`, its backup file in `folder`; for a send the file is written
// first (a patterned LM-Q20 or LM-Q30 backup). False when that file cannot be written.
bool PrepareRequest(const BenchJob& job, const std::filesystem::path& folder,
                    TransferRequest& request);

}  // namespace velloran::bench
