#pragma once

// Sets and clears the process's environment variables, which the simulated printer
// reads; on Windows through the C runtime, which keeps the process's own copy in step.

#include <cstdlib>
#include <string>

namespace velloran::testing {

inline void SetEnvVar(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvVar(const char* name) {
#if defined(_WIN32)
    _putenv_s(name, "");  // an empty value removes the variable
#else
    unsetenv(name);
#endif
}

}  // namespace velloran::testing
