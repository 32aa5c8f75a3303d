#pragma once

// How one open device behaves, read from the environment when the device is started:
// the identity it answers as, and the faults it injects. A value that does not parse is
// treated as if the variable were unset. Counters of 0 mean "never".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The printers VELLORAN_SIM_DEVICES lists ("0,5,127"); nothing when it is unset or does
// not parse, and the one active index rules.
std::optional<std::vector<int32_t>> ReadDeviceIndices();

// Whether a printer answers at `index`: one listed in VELLORAN_SIM_DEVICES, else the
// active index.
bool AnswersAt(int32_t index);

// Which printer's memory a device opened at `index` uses: 0 for the one printer, else
// the index of a listed printer.
uint32_t MemorySlotOf(int32_t index);

// A decimal count made of digits only, or nothing.
std::optional<uint32_t> ParseCount(std::string_view text);

}  // namespace velloran::sim
