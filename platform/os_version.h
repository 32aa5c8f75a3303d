#pragma once

#include <cstdint>

namespace velloran {

inline constexpr uint32_t kPlatformIdWin32Nt = 2;

// What the platform reports about itself, in the terms of the Windows version record.
struct OsVersion {
    bool queried = false;  // false when the query failed
    uint32_t platformId = 0;
    uint32_t majorVersion = 0;
};

// On Windows the version query; elsewhere an NT-family platform of major version 5 or
// later, since every platform we run on can take 64-byte reads.
OsVersion QueryOsVersion();

}  // namespace velloran
