#include <windows.h>

#include "platform/os_version.h"

namespace velloran {

OsVersion QueryOsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExW(&info) == 0) {
        return OsVersion{};
    }
    return OsVersion{true, info.dwPlatformId, info.dwMajorVersion};
}

}  // namespace velloran
