#pragma once

#include <cstdint>

#include "platform/dynamic_library.h"

namespace velloran::bench {

// Calls made through the driver's write and read entry points since the last reset.
// Every exchange starts with exactly one write, so `writes` counts exchanges; `reads`
// counts the polls, each of which follows a 10 ms pause.
struct DriverCallCounts {
    uint64_t writes = 0;
    uint64_t reads = 0;
};

// A LibraryLoader that hands out the inner loader's libraries with their write and read
// entry points routed through counters. One transfer at a time: the counters and the
// real entry points are shared by every instance.
class CountingLoader final : public LibraryLoader {
  public:
    explicit CountingLoader(LibraryLoader& inner) : inner_(inner) {}

    void* Load(const std::string& catalogueFileName) override;
    void* Symbol(void* library, const char* name) override;
    void Free(void* library) override;

    static void ResetCounts();
    static DriverCallCounts Counts();

  private:
    LibraryLoader& inner_;
};

}  // namespace velloran::bench
