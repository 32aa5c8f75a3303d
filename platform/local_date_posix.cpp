#include <ctime>

#include "platform/local_date.h"

namespace velloran {

LocalDate TodayLocal() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return LocalDate{static_cast<uint32_t>(local.tm_year + 1900),
                     static_cast<uint32_t>(local.tm_mon + 1), static_cast<uint32_t>(local.tm_mday)};
}

}  // namespace velloran
