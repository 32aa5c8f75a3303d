#include "platform/os_version.h"

namespace velloran {

OsVersion QueryOsVersion() {
    return OsVersion{.queried = true, .windows = false};
}

}  // namespace velloran
