#pragma once

#include <cstdint>
#include <string>

#include "jobs/transfer_context.h"
#include "jobs/worker_starter.h"

namespace velloran {

using JobRoutine = uint32_t (*)(TransferContext&);

// The job for a transfer and the progress range that a complete run of it fills; for a
// send, also what the file test found.
struct JobChoice {
    JobRoutine job = nullptr;
    uint32_t progressRange = 0;
    FileVerdict file;
};

// Picks the job by catalogue index and direction; for a send it first tests the file and
// keeps the verdict in `choice.file`. Returns false when the file is refused: it fails
// the file test, or (multi-region) it is shorter than its region plan reads.
[[nodiscard]] bool ChooseJob(TransferContext& context, JobChoice& choice);

// The bytes of printer memory a complete transfer moves: the model's memory for a receive,
// the regions the file fills for a send. What a speed in bytes per second counts, for
// every job alike whatever its progress steps stand for. 0 for an unknown model or a file
// the dispatcher refuses.
uint64_t TransferByteCount(int32_t modelIndex, int32_t direction, const std::string& filePath);

// Turns an open connection into a running job: chooses it, sizes the progress bar
// (range, step 1, position 0, in that order) and starts the job on a worker thread. A
// refused file reports 117 with the bar untouched; a thread that cannot be started 115.
uint32_t OnBkupStart(TransferContext& context, WorkerStarter& starter = SystemWorkerStarter());

}  // namespace velloran
