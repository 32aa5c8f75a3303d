#pragma once

// The printer driver library's entry points: C linkage, undecorated names formed from
// a model's entry prefix and a suffix ("Hdv305UsbWrite"), the platform's standard API
// calling convention. Every entry point answers 0 for success.

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VELLORAN_DRIVER_CALL __stdcall
#else
#define VELLORAN_DRIVER_CALL
#endif

namespace velloran {

inline constexpr uint32_t kDriverOk = 0;
inline constexpr uint32_t kDeviceAreaLength = 128;
inline constexpr int32_t kDeviceIndexCount = 128;

extern "C" {
using RegistHandleFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle);
using UnregistHandleFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle);
using CheckMyDeviceFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle);
using CheckActiveDeviceFn = uint32_t(VELLORAN_DRIVER_CALL*)(int32_t index, void* area128);
using StartDeviceFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t* handle, int32_t index);
using EndDeviceFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle);
using UsbOpenFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle);
using UsbCloseFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle);
using UsbWriteFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle, const void* bytes,
                                                   uint32_t count);
using UsbReadFn = uint32_t(VELLORAN_DRIVER_CALL*)(uint32_t handle, void* buffer, uint32_t* count);
}

}  // namespace velloran
