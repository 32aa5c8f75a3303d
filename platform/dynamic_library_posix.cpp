#include <dlfcn.h>

#include "platform/dynamic_library.h"

namespace velloran {
namespace {

class PosixLibraryLoader final : public LibraryLoader {
  public:
    void* Load(const std::string& catalogueFileName) override {
        // A plain name, so LD_LIBRARY_PATH, RUNPATH and the system folders are searched.
        return dlopen(PlatformLibraryName(catalogueFileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    void* Symbol(void* library, const char* name) override { return dlsym(library, name); }
    void Free(void* library) override { dlclose(library); }
};

}  // namespace

std::string PlatformLibraryName(const std::string& catalogueFileName) {
    std::string stem = catalogueFileName;
    const std::string dll = ".dll";
    if (stem.size() > dll.size() && stem.compare(stem.size() - dll.size(), dll.size(), dll) == 0) {
        stem.resize(stem.size() - dll.size());
    }
    return "lib" + stem + ".so";
}

LibraryLoader& SystemLibraryLoader() {
    static PosixLibraryLoader loader;
    return loader;
}

}  // namespace velloran
