#include "sim_test_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace velloran::sim::test {

#if defined(_WIN32)

void* OpenLibrary(const char* path) {
    return LoadLibraryA(path);
}

void* FindSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void CloseLibrary(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

#else

void* OpenLibrary(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(void* module, const char* name) {
    return dlsym(module, name);
}

void CloseLibrary(void* module) {
    dlclose(module);
}

#endif

}  // namespace velloran::sim::test
