#include "platform/os_version.h"

namespace velloran {

OsVersion QueryOsVersion() {
    constexpr uint32_t kReportedMajorVersion = 6;
    return OsVersion{true, kPlatformIdWin32Nt, kReportedMajorVersion};
}

}  // namespace velloran
