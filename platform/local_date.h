#pragma once

#include <cstdint>

namespace velloran {

struct LocalDate {
    uint32_t year = 0;   // e.g. 2014
    uint32_t month = 0;  // 1 to 12
    uint32_t day = 0;    // 1 to 31
};

LocalDate TodayLocal();

}  // namespace velloran
