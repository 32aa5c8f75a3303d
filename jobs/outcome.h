#pragma once

#include <cstdint>
#include <string>

#include "jobs/failure_detail.h"
#include "jobs/string_table.h"

namespace velloran {

// How a transfer ended: success, or an outcome id (a string-table entry) and a detail.
struct Outcome {
    bool success = false;
    uint32_t outcomeId = 0;
    FailureDetail detail = kNoDetail;

    static Outcome Succeeded() { return {true, 0, kNoDetail}; }
    static Outcome Failed(uint32_t id, FailureDetail detail) { return {false, id, detail}; }
    bool operator==(const Outcome&) const = default;
};

// The text an outcome box shows: entry 121 for success; for a failure the outcome's
// entry, or entry 115 when it has none, followed by " (0xLL 0xHH)" when the detail, read
// as a signed 32-bit number, is above 0 (LL the low, HH the high 16 bits).
std::string OutcomeText(const Outcome& outcome);

// The suffix alone, empty when there is none.
std::string FailureDetailSuffix(FailureDetail detail);

}  // namespace velloran
