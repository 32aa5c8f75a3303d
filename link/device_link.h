#pragma once

#include <cstdint>

#include "link/driver_api.h"
#include "platform/dynamic_library.h"

namespace velloran {

// The program's hold on one printer for one transfer: the bound driver library, its ten
// entry points, and the open device. Either all ten entry points and the library are
// set, or none is. Bind and Connect run before the worker starts; Release and Unbind after
// it has sent its outcome.
class CDeviceLink {
  public:
    explicit CDeviceLink(LibraryLoader& loader = SystemLibraryLoader()) : loader_(&loader) {}
    ~CDeviceLink() { Unbind(); }
    CDeviceLink(const CDeviceLink&) = delete;
    CDeviceLink& operator=(const CDeviceLink&) = delete;

    // Loads the library of catalogue row `modelIndex` and resolves the ten entry points.
    [[nodiscard]] int Bind(uint32_t modelIndex);
    // Frees the library and clears the entry points; leaves deviceHandle alone.
    int Unbind();
    // Opens the first device index, 0 to 127, at which a printer answers.
    [[nodiscard]] int Connect();
    // Ends the open device; 1 when the link is bound.
    int Release();

#define VELLORAN_DRIVER_ENTRY(suffix) suffix##Fn suffix = nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    void* libraryModule = nullptr;
    uint32_t deviceHandle = 0;

  private:
    bool AllEntriesResolved() const;

    LibraryLoader* loader_;
};

}  // namespace velloran
