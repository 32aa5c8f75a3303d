// The driver's ten exported entry points. Built once per driver library: the compile
// definitions VELLORAN_SIM_PREFIX (the entry-name prefix, e.g. Hdv305) and
// VELLORAN_SIM_MODELS (the ModelId enumerators it serves) select which one.

#include <cstdint>

#include "link/driver_api.h"
#include "sim/sim_device.h"

#define VELLORAN_SIM_JOIN_(a, b) a##b
#define VELLORAN_SIM_JOIN(a, b) VELLORAN_SIM_JOIN_(a, b)
#define VELLORAN_SIM_ENTRY(suffix) VELLORAN_SIM_JOIN(VELLORAN_SIM_PREFIX, suffix)
#define VELLORAN_SIM_TEXT_(x) #x
#define VELLORAN_SIM_TEXT(x) VELLORAN_SIM_TEXT_(x)

// Windows builds export through the module-definition file, which also keeps the names
// undecorated; elsewhere only these ten symbols are visible.
#if defined(_WIN32)
#define VELLORAN_SIM_EXPORT
#else
#define VELLORAN_SIM_EXPORT __attribute__((visibility("default")))
#endif

#define VELLORAN_SIM_API(suffix) \
    extern "C" VELLORAN_SIM_EXPORT uint32_t VELLORAN_DRIVER_CALL VELLORAN_SIM_ENTRY(suffix)

namespace {

using velloran::sim::kCallOk;
using enum velloran::sim::ModelId;

constexpr velloran::sim::ModelId kServedModels[] = {VELLORAN_SIM_MODELS};

velloran::sim::Device& TheDevice() {
    static velloran::sim::Device device(kServedModels, VELLORAN_SIM_TEXT(VELLORAN_SIM_PREFIX));
    return device;
}

}  // namespace

// Handle registration and USB open/close need nothing from a simulated device.
VELLORAN_SIM_API(RegistHandle)(uint32_t) {
    return kCallOk;
}
VELLORAN_SIM_API(UnregistHandle)(uint32_t) {
    return kCallOk;
}
VELLORAN_SIM_API(CheckMyDevice)(uint32_t) {
    return kCallOk;
}
VELLORAN_SIM_API(UsbOpen)(uint32_t) {
    return kCallOk;
}
VELLORAN_SIM_API(UsbClose)(uint32_t) {
    return kCallOk;
}

VELLORAN_SIM_API(CheckActiveDevice)(int32_t index, void* area128) {
    return TheDevice().CheckActive(index, area128);
}

VELLORAN_SIM_API(StartDevice)(uint32_t* handle, int32_t index) {
    return TheDevice().Start(handle, index);
}

VELLORAN_SIM_API(EndDevice)(uint32_t handle) {
    return TheDevice().End(handle);
}

VELLORAN_SIM_API(UsbWrite)(uint32_t handle, const void* bytes, uint32_t count) {
    return TheDevice().Write(handle, bytes, count);
}

VELLORAN_SIM_API(UsbRead)(uint32_t handle, void* buffer, uint32_t* count) {
    return TheDevice().Read(handle, buffer, count);
}
