#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/driver_api.h"
#include "link/exchange_observer.h"
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
    // Opens the printer at `index` alone, when one answers there.
    [[nodiscard]] int ConnectAt(int32_t index);
    // The device indices, 0 to 127, at which a printer answers; none is opened.
    std::vector<int32_t> ActiveIndices() const;
    // The first device index, 0 to 127, at which a printer answers; none is opened.
    std::optional<int32_t> FirstActiveIndex() const;
    // Whether a printer answers at `index`; none is opened.
    bool Answers(int32_t index) const;
    // Opens the printer at `index`, which the caller has found answering.
    [[nodiscard]] int StartAt(int32_t index);
    // Ends the open device; 1 when the link is bound.
    int Release();

#define VELLORAN_DRIVER_ENTRY(suffix) suffix##Fn suffix = nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    void* libraryModule = nullptr;
    uint32_t deviceHandle = 0;
    ExchangeObserver* observer = nullptr;  // told of every exchange, when set

  private:
    bool AllEntriesResolved() const;

    LibraryLoader* loader_;
};

}  // namespace velloran
