#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "platform/dynamic_library.h"
#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {

// Every variable the simulated printer reads, so each test starts from a clean slate.
inline constexpr const char* kSimFaultVariables[] = {
    "VELLORAN_SIM_MODEL",        "VELLORAN_SIM_ACTIVE_INDEX", "VELLORAN_SIM_FAIL_START",
    "VELLORAN_SIM_REFUSE_FRAME", "VELLORAN_SIM_REFUSE_KIND",  "VELLORAN_SIM_SILENT_FROM",
    "VELLORAN_SIM_LATE_READS",   "VELLORAN_SIM_SPLIT",        "VELLORAN_SIM_PAD",
    "VELLORAN_SIM_FAIL_READ",    "VELLORAN_SIM_FAIL_WRITE",   "VELLORAN_SIM_LOG",
    "VELLORAN_SIM_DEVICES",
};

// Points the simulated printer at a fresh state folder and sets the given faults; the
// printer reads them when a device is started, on the test's own thread.
class SimEnvironment {
  public:
    explicit SimEnvironment(
        std::initializer_list<std::pair<const char*, std::string>> faults = {}) {
        SetEnvVar("VELLORAN_SIM_STATE_DIR", Utf8FromPath(state_.Path()));
        Set(faults);
    }
    ~SimEnvironment() { Set({}); }

    void Set(std::initializer_list<std::pair<const char*, std::string>> faults) {
        for (const char* name : kSimFaultVariables) {
            UnsetEnvVar(name);
        }
        for (const auto& [name, value] : faults) {
            SetEnvVar(name, value);
        }
    }
    const TempDir& State() const { return state_; }

  private:
    TempDir state_;
};

// The production loader, counting what it frees.
class CountingLoader final : public LibraryLoader {
  public:
    void* Load(const std::string& name) override { return SystemLibraryLoader().Load(name); }
    void* Symbol(void* library, const char* name) override {
        return SystemLibraryLoader().Symbol(library, name);
    }
    void Free(void* library) override {
        ++frees;
        SystemLibraryLoader().Free(library);
    }
    int frees = 0;
};

}  // namespace velloran::testing
