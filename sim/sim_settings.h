#pragma once

// How one open device behaves, read from the environment when the device is started:
// the identity it answers as, and the faults it injects. A value that does not parse is
// treated as if the variable were unset. Counters of 0 mean "never".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/sim_frame.h"
#include "sim/sim_models.h"

namespace velloran::sim {

struct KindRefusal {
    FrameKind kind = FrameKind::kMalformed;
    uint32_t occurrence = 0;
};

struct Settings {
    const ModelInfo* forcedModel = nullptr;  // answer only as this model
    bool failStart = false;
    uint32_t refuseExchange = 0;
    KindRefusal refuseKind;
    uint32_t silentFrom = 0;
    uint32_t lateReads = 0;
    uint32_t splitBytes = 0;  // 0: whole replies
    uint32_t padReads = 0;
    uint32_t failRead = 0;
    bool failReadReportsByte = false;
    uint32_t failWrite = 0;
    std::string logPath;  // empty: no log
};

Settings ReadSettings();

// The device index at which a printer answers, or nothing when none does.
std::optional<int32_t> ReadActiveIndex();

// A decimal count made of digits only, or nothing.
std::optional<uint32_t> ParseCount(std::string_view text);

}  // namespace velloran::sim
