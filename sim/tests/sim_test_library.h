#pragma once

// The platform's run-time library loader, called the way a host program calls it:
// dlopen and dlsym, or LoadLibrary and GetProcAddress.

namespace velloran::sim::test {

// The loaded library, or null.
void* OpenLibrary(const char* path);
// Address of an exported symbol, or null.
void* FindSymbol(void* module, const char* name);
void CloseLibrary(void* module);

}  // namespace velloran::sim::test
