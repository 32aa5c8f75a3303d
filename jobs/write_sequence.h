#pragma once

#include <cstdint>

#include "catalogue/model_catalogue.h"
#include "jobs/failure_detail.h"
#include "jobs/frames.h"

namespace velloran {

// One frame of a write sequence. Data steps carry the range of region bytes their
// DataFrame holds instead of a frame: the bytes come from the backup file.
struct WriteStep {
    bool isOpen = false;
    bool isData = false;
    Frame frame;               // every step but a data step
    uint32_t dataOffset = 0;   // data steps: offset within the region
    uint32_t dataLength = 0;   // data steps: 1 to 60
    FailureDetail detail = 0;  // what a refusal of this frame reports
};

// The fixed order of frames that writes one memory region: open, control address,
// control 0x00, setup, control address, control 0x05, target address, the data in
// chunks of 60 bytes, control address, control 0x07.
class WriteSequence {
  public:
    WriteSequence(const ModelSignature& signature, uint32_t targetAddress, uint32_t setupValue,
                  uint32_t regionLength, uint32_t controlAddress = kControlAddress);

    uint32_t DataFrameCount() const;
    uint32_t FrameCount() const;
    WriteStep StepAt(uint32_t index) const;

  private:
    ModelSignature signature_;
    uint32_t targetAddress_;
    uint32_t setupValue_;
    uint32_t regionLength_;
    uint32_t controlAddress_;
};

// Frames of a complete sequence for a region of `regionLength` bytes: 9 + ceil(L / 60),
// in unsigned 32-bit arithmetic as the progress range is sized.
constexpr uint32_t WriteSequenceFrameCount(uint32_t regionLength) {
    return (regionLength + kDataChunk - 1) / kDataChunk + 9;
}

}  // namespace velloran
