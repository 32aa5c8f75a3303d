#pragma once

#include <string>

namespace velloran {

// Loads driver libraries at run time. Production uses the platform loader; tests hand
// in a loader whose "libraries" are tables of fake entry points.
class LibraryLoader {
  public:
    virtual ~LibraryLoader() = default;
    // Loads by the catalogue's file name ("Hdv305.dll"); null when it cannot be loaded.
    virtual void* Load(const std::string& catalogueFileName) = 0;
    // Address of an exported symbol, or null.
    virtual void* Symbol(void* library, const char* name) = 0;
    virtual void Free(void* library) = 0;
};

LibraryLoader& SystemLibraryLoader();

// The file name the platform loader is given for a catalogue file name:
// "Hdv305.dll" stays as it is on Windows and becomes "libHdv305.so" elsewhere.
std::string PlatformLibraryName(const std::string& catalogueFileName);

}  // namespace velloran
