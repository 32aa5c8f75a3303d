#include "cli/send_verdict.h"

#include "jobs/dispatcher.h"
#include "jobs/region_plan.h"
#include "jobs/transfer_context.h"

namespace velloran::cli {

SendVerdict JudgeSend(const std::string& path, int32_t modelIndex) {
    // A context that never binds a driver: the file test and the job choice only read
    // the file.
    TransferContext probe;
    probe.modelIndex = modelIndex;
    probe.direction = kDirectionSend;
    probe.filePath = path;
    JobChoice choice;
    SendVerdict verdict;
    verdict.modelIndex = modelIndex;
    verdict.accepted = ChooseJob(probe, choice);
    verdict.file = choice.file;
    verdict.passesFileTest =
        verdict.accepted || choice.file.refusal == FileRefusal::kShorterThanPlan;
    verdict.frames = verdict.accepted ? choice.progressRange : 0;
    if (choice.file.record) {
        verdict.regionAddress = choice.file.record->address;
        verdict.regionLength = choice.file.record->length;
    }
    if (verdict.passesFileTest && choice.file.sourceLayout) {
        verdict.sourceLayout = choice.file.sourceLayout;
        verdict.planExtent = RegionPlanFileExtent(RegionPlanFor(*choice.file.sourceLayout));
    }
    return verdict;
}

}  // namespace velloran::cli
