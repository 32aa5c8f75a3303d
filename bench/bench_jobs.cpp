#include "bench/bench_jobs.h"

#include <array>
#include <fstream>
#include <vector>

#include "catalogue/backup_layout.h"
#include "catalogue/little_endian.h"
#include "catalogue/model_catalogue.h"
#include "jobs/transfer_context.h"

namespace velloran::bench {
namespace {

constexpr int32_t kLmQ30 = 0;
constexpr int32_t kLmQ20 = 1;
constexpr int32_t kLmQ10 = 2;

constexpr std::array<BenchJob, 9> kJobs{{
    {"lmq20-receive", "LM-Q20 receive, 64-byte blocks", kLmQ20, kDirectionReceive,
     SourceFile::kNone, false, false},
    {"lmq20-send", "LM-Q20 send, one region", kLmQ20, kDirectionSend, SourceFile::kSingleRegion,
     false, false},
    {"lmq30-receive", "LM-Q30 receive, seven regions", kLmQ30, kDirectionReceive, SourceFile::kNone,
     false, false},
    {"lmq30-send", "LM-Q30 send of an LM-Q30 file", kLmQ30, kDirectionSend,
     SourceFile::kMultiRegion, false, false},
    {"lmq30-send-lmq20", "LM-Q30 send of an LM-Q20 file", kLmQ30, kDirectionSend,
     SourceFile::kSingleRegion, true, false},
    {"lmq10-receive", "LM-Q10 receive, 8-byte blocks", kLmQ10, kDirectionReceive, SourceFile::kNone,
     false, false},
    {"lmq20-verify", "LM-Q20 verify, 64-byte blocks", kLmQ20, kDirectionReceive,
     SourceFile::kOwnModel, false, true},
    {"lmq30-verify", "LM-Q30 verify, seven regions", kLmQ30, kDirectionReceive,
     SourceFile::kOwnModel, false, true},
    {"lmq10-verify", "LM-Q10 verify, 8-byte blocks", kLmQ10, kDirectionReceive,
     SourceFile::kOwnModel, false, true},
}};

void AppendRecord(std::vector<uint8_t>& file, uint32_t address, uint32_t length) {
    uint8_t head[kRecordHeadLength];
    PutLe32(head, address);
    PutLe32(head + 4, length);
    file.insert(file.end(), head, head + kRecordHeadLength);
    for (uint32_t i = 0; i < length; ++i) {
        file.push_back(static_cast<uint8_t>(address + i * 7));
    }
}

std::vector<uint8_t> SourceBytes(SourceFile source, int32_t jobModel) {
    int32_t model = source == SourceFile::kMultiRegion ? kLmQ30 : kLmQ20;
    if (source == SourceFile::kOwnModel) {
        model = jobModel;
    }
    const ModelEntry& row = kModelCatalogue[model];
    std::vector<uint8_t> file(row.signature.begin(), row.signature.end());
    if (model == kLmQ30) {
        for (const MemoryRegion& region : kMultiRegionTable) {
            AppendRecord(file, region.address, region.length);
        }
    } else {
        AppendRecord(file, row.imageAddress, row.imageLength);
    }
    return file;
}

bool WriteSource(SourceFile source, int32_t jobModel, const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = SourceBytes(source, jobModel);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

std::span<const BenchJob> AllBenchJobs() {
    return kJobs;
}

bool PrepareRequest(const BenchJob& job, const std::filesystem::path& folder,
                    TransferRequest& request) {
    const std::filesystem::path path = folder / (std::string(job.name) + ".vid");
    request.modelIndex = job.modelIndex;
    request.direction = job.direction;
    request.filePath = path.string();
    return job.source == SourceFile::kNone || WriteSource(job.source, job.modelIndex, path);
}

}  // namespace velloran::bench
