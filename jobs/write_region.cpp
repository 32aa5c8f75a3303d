#include "jobs/jobs.h"
#include "jobs/write_sequence.h"
#include "link/frame_exchange.h"

namespace velloran {

int WriteRegion(TransferContext& context, BackupReader& source, FailureDetail& detail,
                uint32_t controlAddress, uint32_t targetAddress, uint32_t setupValue,
                uint32_t length, uint32_t fileOffset, bool& openFlag) {
    const ModelSignature signature = kModelCatalogue[context.modelIndex].Signature();
    const WriteSequence sequence(signature, targetAddress, setupValue, length, controlAddress);
    for (uint32_t index = 0; index < sequence.FrameCount(); ++index) {
        const WriteStep step = sequence.StepAt(index);
        Frame frame = step.frame;
        if (step.isData) {
            uint8_t chunk[kDataChunk];
            // Only bytes that came from the file go into a DataFrame.
            if (source.ReadAt(step.dataLength, fileOffset + step.dataOffset, chunk) == 0) {
                return 0;
            }
            frame = DataFrame(chunk, step.dataLength);
        }
        if (SendFrame(context.deviceLink, *context.clock, frame.data(), frame.length) == 0) {
            if (step.isOpen) {
                openFlag = false;
            } else {
                detail = step.detail;
            }
            return 0;
        }
        context.progressBar->Step();
    }
    return 1;
}

}  // namespace velloran
