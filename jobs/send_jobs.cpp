#include "catalogue/backup_layout.h"
#include "jobs/frames.h"
#include "jobs/jobs.h"
#include "jobs/region_plan.h"
#include "jobs/string_table.h"

namespace velloran {

uint32_t SingleRegionSendJob(TransferContext& context) {
    FailureDetail detail = kNoDetail;
    bool opened = true;
    const int written =
        WriteRegion(context, detail, kControlAddress, context.regionAddress, context.regionLength,
                    context.regionLength, kSingleRegionDataOffset, opened);
    if (!opened) {
        context.outcomeSink->Error(IDS_SEND_FAILED, kNoDetail);
    } else if (written == 0) {
        context.outcomeSink->Error(IDS_SEND_INTERRUPTED, detail);
    } else {
        context.outcomeSink->Success();
    }
    return 0;
}

uint32_t MultiRegionSendJob(TransferContext& context) {
    FailureDetail detail = kNoDetail;
    bool opened = true;
    const std::span<const PlannedRegion> plan = RegionPlanFor(context.sourceLayout);
    if (plan.empty()) {
        context.outcomeSink->Error(IDS_SEND_INTERRUPTED, kNoDetail);
        return 0;
    }
    int lastWritten = 0;
    for (const PlannedRegion& region : plan) {
        lastWritten = WriteRegion(context, detail, kControlAddress, region.targetAddress,
                                  kMultiRegionSetupValue, region.length, region.fileOffset, opened);
        if (lastWritten == 0) {
            break;
        }
    }
    if (!opened) {
        context.outcomeSink->Error(IDS_SEND_FAILED, detail);
    } else if (lastWritten == 1) {
        context.outcomeSink->Success();
    } else {
        context.outcomeSink->Error(IDS_SEND_INTERRUPTED, detail);
    }
    return 0;
}

}  // namespace velloran
