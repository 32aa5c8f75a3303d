#pragma once

#include <cstdint>
#include <thread>

#include "catalogue/backup_file.h"
#include "jobs/receive_sink.h"
#include "jobs/sinks.h"
#include "link/device_link.h"
#include "platform/clock.h"
#include "platform/os_version.h"

namespace velloran {

inline constexpr int32_t kDirectionReceive = 0;
inline constexpr int32_t kDirectionSend = 1;

// Everything one transfer shares between the window that runs it, the dispatcher and
// the job. The window's thread writes it before the worker starts and not again until
// the worker has delivered its outcome; the worker only reads it.
struct TransferContext : BackupFileContext {
    explicit TransferContext(LibraryLoader& loader = SystemLibraryLoader(),
                             Clock& clockSource = SystemClock())
        : deviceLink(loader), clock(&clockSource) {}

    // Joins a worker still running: it has delivered its outcome by the time anyone
    // destroys the context, so the join returns at once.
    ~TransferContext() {
        if (threadHandle.joinable()) {
            threadHandle.join();
        }
    }

    bool IsSend() const { return direction == kDirectionSend; }

    int32_t direction = kDirectionReceive;  // 1 send; anything else receive
    CDeviceLink deviceLink;
    Clock* clock;
    OsVersion osVersion = QueryOsVersion();  // decides the block size of a receive
    ProgressSink* progressBar = nullptr;
    OutcomeSink* outcomeSink = nullptr;
    ReceiveSink* receiveSink = nullptr;  // when set, a receive writes here, not to filePath
    std::thread threadHandle;
};

}  // namespace velloran
