#include "jobs/write_sequence.h"

#include <algorithm>

namespace velloran {
namespace {

constexpr uint32_t kFramesBeforeData = 7;

WriteStep FrameStep(Frame frame, FailureDetail detail) {
    WriteStep step;
    step.frame = frame;
    step.detail = detail;
    return step;
}

}  // namespace

WriteSequence::WriteSequence(const ModelSignature& signature, uint32_t targetAddress,
                             uint32_t setupValue, uint32_t regionLength, uint32_t controlAddress)
    : signature_(signature),
      targetAddress_(targetAddress),
      setupValue_(setupValue),
      regionLength_(regionLength),
      controlAddress_(controlAddress) {}

uint32_t WriteSequence::DataFrameCount() const {
    return static_cast<uint32_t>((static_cast<uint64_t>(regionLength_) + kDataChunk - 1) /
                                 kDataChunk);
}

uint32_t WriteSequence::FrameCount() const {
    return kFramesBeforeData + DataFrameCount() + 2;
}

WriteStep WriteSequence::StepAt(uint32_t index) const {
    switch (index) {
        case 0: {
            WriteStep open = FrameStep(OpenFrame(signature_), kNoDetail);
            open.isOpen = true;
            return open;
        }
        case 1:
        case 4:
            return FrameStep(AddressFrame(controlAddress_), kDetailControlAddressFrame);
        case 2:
            return FrameStep(ControlFrame(kControlBegin), kDetailControlBegin);
        case 3:
            return FrameStep(SetupFrame(targetAddress_, setupValue_), kDetailSetupFrame);
        case 5:
            return FrameStep(ControlFrame(kControlPrepare), kDetailControlPrepare);
        case 6:
            return FrameStep(AddressFrame(targetAddress_), kDetailTargetAddressFrame);
        default:
            break;
    }
    const uint32_t dataIndex = index - kFramesBeforeData;
    if (dataIndex < DataFrameCount()) {
        WriteStep data;
        data.isData = true;
        data.dataOffset = dataIndex * kDataChunk;
        data.dataLength = std::min(kDataChunk, regionLength_ - data.dataOffset);
        data.detail = kDetailDataFrame;
        return data;
    }
    if (dataIndex == DataFrameCount()) {
        return FrameStep(AddressFrame(controlAddress_), kDetailControlAddressFrame);
    }
    return FrameStep(ControlFrame(kControlFinish), kDetailControlFinish);
}

}  // namespace velloran
