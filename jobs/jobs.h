#pragma once

#include <cstdint>

#include "jobs/transfer_context.h"

namespace velloran {

// The four transfer jobs. Each runs on the worker thread, reads the context that was
// set before the thread started, and ends by delivering exactly one outcome to the
// context's OutcomeSink as its last action. Each returns 0, the thread's exit code.
uint32_t SingleRegionSendJob(TransferContext& context);
uint32_t SingleRegionReceiveJob(TransferContext& context);
uint32_t MultiRegionSendJob(TransferContext& context);
uint32_t MultiRegionReceiveJob(TransferContext& context);

// Writes one memory region with the write sequence, the data read through `source`, the
// backup file the send holds open, from `fileOffset` on. 1 when every frame was
// acknowledged. A refused OpenFrame makes `openFlag` false and leaves `detail` alone; any
// later refusal sets `detail` to that frame's value; a chunk that cannot be read from the
// file leaves `detail` alone.
int WriteRegion(TransferContext& context, BackupReader& source, FailureDetail& detail,
                uint32_t controlAddress, uint32_t targetAddress, uint32_t setupValue,
                uint32_t length, uint32_t fileOffset, bool& openFlag);

}  // namespace velloran
