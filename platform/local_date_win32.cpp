#include <windows.h>

#include "platform/local_date.h"

namespace velloran {

LocalDate TodayLocal() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LocalDate{now.wYear, now.wMonth, now.wDay};
}

}  // namespace velloran
