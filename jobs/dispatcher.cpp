#include "jobs/dispatcher.h"

#include <numeric>

#include "catalogue/backup_layout.h"
#include "catalogue/model_catalogue.h"
#include "jobs/jobs.h"
#include "jobs/region_plan.h"
#include "jobs/string_table.h"
#include "jobs/write_sequence.h"
#include "platform/clock.h"

namespace velloran {
namespace {

constexpr uint32_t kMultiRegionReceiveRange = 2927;
constexpr uint32_t kReceiveHeadSteps = 2;

bool ChooseSingleRegionJob(TransferContext& context, JobChoice& choice) {
    if (context.IsSend()) {
        choice.file = context.TestFile();
        if (!choice.file.Accepted()) {
            return false;
        }
        choice.job = &SingleRegionSendJob;
        choice.progressRange = WriteSequenceFrameCount(context.regionLength);
        return true;
    }
    const uint32_t imageLength = kModelCatalogue[context.modelIndex].imageLength;
    choice.job = &SingleRegionReceiveJob;
    choice.progressRange = (imageLength >> 3) + kReceiveHeadSteps;
    return true;
}

// A file shorter than its region plan would reach its end in the middle of a send and
// leave the printer half-written; it is refused before the first frame.
bool FileCoversPlan(const TransferContext& context, std::span<const PlannedRegion> plan) {
    const uint64_t extent = RegionPlanFileExtent(plan);
    uint8_t last = 0;
    return extent > 0 && context.ReadFileAt(1, static_cast<uint32_t>(extent - 1), &last) == 1;
}

bool ChooseMultiRegionJob(TransferContext& context, JobChoice& choice) {
    if (!context.IsSend()) {
        choice.job = &MultiRegionReceiveJob;
        choice.progressRange = kMultiRegionReceiveRange;
        return true;
    }
    choice.file = context.TestFile();
    if (!choice.file.Accepted()) {
        return false;
    }
    const std::span<const PlannedRegion> plan = RegionPlanFor(context.sourceLayout);
    if (!FileCoversPlan(context, plan)) {
        choice.file.refusal = FileRefusal::kShorterThanPlan;
        return false;
    }
    choice.job = &MultiRegionSendJob;
    choice.progressRange = RegionPlanFrameCount(plan);
    return true;
}

}  // namespace

bool ChooseJob(TransferContext& context, JobChoice& choice) {
    return context.modelIndex != kMultiRegionModelIndex ? ChooseSingleRegionJob(context, choice)
                                                        : ChooseMultiRegionJob(context, choice);
}

uint64_t TransferByteCount(int32_t modelIndex, int32_t direction, const std::string& filePath) {
    const ModelEntry* model = ModelAt(modelIndex);
    if (model == nullptr) {
        return 0;
    }
    if (direction != kDirectionSend) {
        const std::vector<MemoryRegion> regions = ReceivedRegions(modelIndex);
        return std::accumulate(regions.begin(), regions.end(), uint64_t{0},
                               [](uint64_t sum, const MemoryRegion& r) { return sum + r.length; });
    }
    TransferContext probe;
    probe.modelIndex = modelIndex;
    probe.direction = direction;
    probe.filePath = filePath;
    JobChoice choice;
    if (!ChooseJob(probe, choice)) {
        return 0;
    }
    if (modelIndex != kMultiRegionModelIndex) {
        return probe.regionLength;
    }
    const std::span<const PlannedRegion> plan = RegionPlanFor(probe.sourceLayout);
    return std::accumulate(plan.begin(), plan.end(), uint64_t{0},
                           [](uint64_t sum, const PlannedRegion& r) { return sum + r.length; });
}

uint32_t OnBkupStart(TransferContext& context, WorkerStarter& starter) {
    JobChoice choice;
    if (!ChooseJob(context, choice)) {
        context.outcomeSink->Error(IDS_SEND_FAILED, kNoDetail);
        return 0;
    }
    context.progressBar->SetRange(choice.progressRange);
    context.progressBar->SetStep(1);
    context.progressBar->SetPosition(0);
    const JobRoutine job = choice.job;
    std::optional<std::thread> worker = starter.Start([&context, job] {
        const FineTimerScope fineTimer;
        job(context);
    });
    if (!worker) {
        context.outcomeSink->Error(IDS_GENERIC_ERROR, kNoDetail);
        return 0;
    }
    context.threadHandle = std::move(*worker);
    return 0;
}

}  // namespace velloran
