#include "jobs/outcome.h"

#include <cstdio>

namespace velloran {

std::string FailureDetailSuffix(FailureDetail detail) {
    if (static_cast<int32_t>(detail) <= 0) {
        return {};
    }
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (0x%02x 0x%02x)", detail & 0xFFFFu, detail >> 16);
    return suffix;
}

std::string OutcomeText(const Outcome& outcome) {
    if (outcome.success) {
        return LoadTableString(IDS_TRANSFER_DONE).value_or("");
    }
    const std::string text = LoadTableString(outcome.outcomeId)
                                 .value_or(LoadTableString(IDS_GENERIC_ERROR).value_or(""));
    return text + FailureDetailSuffix(outcome.detail);
}

}  // namespace velloran
