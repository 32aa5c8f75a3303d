#pragma once

#include <cstdint>

namespace velloran {

inline constexpr uint32_t kPlatformIdWin32Nt = 2;

// What the platform reports about itself: on Windows its version record; elsewhere only
// that it is not Windows.
struct OsVersion {
    bool queried = false;  // false when the query failed
    uint32_t platformId = 0;
    uint32_t majorVersion = 0;
    bool windows = true;
};

OsVersion QueryOsVersion();

}  // namespace velloran
