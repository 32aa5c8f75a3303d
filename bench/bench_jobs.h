#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "jobs/transfer_session.h"

namespace velloran::bench {

// The kind of file a send job reads, or a verify job compares with; receives write one
// and read none. kOwnModel: a backup of the job's own model.
enum class SourceFile { kNone, kSingleRegion, kMultiRegion, kOwnModel };

// One transfer the benchmark times.
struct BenchJob {
    const char* name;
    const char* description;
    int32_t modelIndex;
    int32_t direction;
    SourceFile source;
    bool quick;   // part of a --quick run
    bool verify;  // a verify: a receive into memory, compared with the backup file
};

// Every job, in the order a full run takes them.
std::span<const BenchJob> AllBenchJobs();

// The request for `job`, its backup file in `folder`; for a send the file is written
// first (a patterned LM-Q20 or LM-Q30 backup). False when that file cannot be written.
bool PrepareRequest(const BenchJob& job, const std::filesystem::path& folder,
                    TransferRequest& request);

}  // namespace velloran::bench
