#include "cli/send_verdict.h"

#include "catalogue/model_catalogue.h"
#include "jobs/dispatcher.h"
#include "jobs/region_plan.h"
#include "jobs/transfer_context.h"

namespace velloran::cli {
namespace {

// A context for a send that never binds a driver: the file tests and the job choice
// only read the file.
struct SendProbe {
    explicit SendProbe(const std::string& path, int32_t modelIndex) {
        context.modelIndex = modelIndex;
        context.direction = kDirectionSend;
        context.filePath = path;
    }
    TransferContext context;
};

void RunFileTest(const std::string& path, SendVerdict& verdict) {
    SendProbe probe(path, verdict.modelIndex);
    TransferContext& context = probe.context;
    if (verdict.modelIndex == kMultiRegionModelIndex) {
        verdict.passesFileTest = context.ClassifyMultiRegionFile() == 1;
        if (verdict.passesFileTest) {
            verdict.sourceLayout = context.sourceLayout;
            verdict.planExtent = RegionPlanFileExtent(RegionPlanFor(context.sourceLayout));
        }
        return;
    }
    verdict.passesFileTest = context.ValidateSingleRegionFile() == 1;
    verdict.regionAddress = context.regionAddress;
    verdict.regionLength = context.regionLength;
}

}  // namespace

SendVerdict JudgeSend(const std::string& path, int32_t modelIndex) {
    SendVerdict verdict;
    verdict.modelIndex = modelIndex;
    RunFileTest(path, verdict);
    SendProbe probe(path, modelIndex);
    JobChoice choice{};
    verdict.accepted = ChooseJob(probe.context, choice);
    verdict.frames = verdict.accepted ? choice.progressRange : 0;
    return verdict;
}

}  // namespace velloran::cli
