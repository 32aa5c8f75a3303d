#include "catalogue/backup_layout.h"
#include "jobs/frames.h"
#include "jobs/jobs.h"
#include "jobs/region_plan.h"
#include "jobs/string_table.h"

namespace velloran {
namespace {

// A send opens its backup once, before the first frame, and reads every chunk through that
// handle. A file that no longer opens (another program took it since the file tests) is
// refused like a file the tests refuse, with nothing sent.
bool OpenSource(TransferContext& context, BackupReader& source) {
    if (!source.IsOpen()) {
        context.outcomeSink->Error(IDS_SEND_FAILED, kNoDetail);
        return false;
    }
    return true;
}

}  // namespace

uint32_t SingleRegionSendJob(TransferContext& context) {
    BackupReader source(context.filePath);
    if (!OpenSource(context, source)) {
        return 0;
    }
    FailureDetail detail = kNoDetail;
    bool opened = true;
    const int written =
        WriteRegion(context, source, detail, kControlAddress, context.regionAddress,
                    context.regionLength, context.regionLength, kSingleRegionDataOffset, opened);
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
    BackupReader source(context.filePath);
    if (!OpenSource(context, source)) {
        return 0;
    }
    FailureDetail detail = kNoDetail;
    bool opened = true;
    const std::span<const PlannedRegion> plan = RegionPlanFor(context.sourceLayout);
    if (plan.empty()) {
        context.outcomeSink->Error(IDS_SEND_INTERRUPTED, kNoDetail);
        return 0;
    }
    int lastWritten = 0;
    for (const PlannedRegion& region : plan) {
        lastWritten = WriteRegion(context, source, detail, kControlAddress, region.targetAddress,
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
