#pragma once

#include <cstdint>

#include "link/device_link.h"
#include "platform/clock.h"
#include "platform/os_version.h"

namespace velloran {

// Timing of every exchange: a pause before each read, and a deadline measured from the
// start of the call, the write included.
inline constexpr uint32_t kPollIntervalMs = 10;
inline constexpr uint32_t kExchangeDeadlineMs = 10000;

inline constexpr uint8_t kAckByte = 0x06;
inline constexpr uint8_t kIdleReplyByte = 0x00;
inline constexpr uint32_t kReplyReadCount = 8;
inline constexpr uint8_t kRead8Request = 0x20;
inline constexpr uint8_t kRead64Request = 0x21;
inline constexpr uint32_t kSmallBlock = 8;
inline constexpr uint32_t kWideBlock = 64;

// Writes one frame and waits for the printer's one-byte reply. 1 when it was 0x06.
[[nodiscard]] int SendFrame(const CDeviceLink& link, Clock& clock, const uint8_t* frame,
                            uint32_t length);

// Asks for the next 8 (or 64) bytes of printer memory and gathers them. 1 and the
// bytes in `out`, or 0 with `out` untouched.
[[nodiscard]] int ReadBlock8(const CDeviceLink& link, Clock& clock, uint8_t* out);
[[nodiscard]] int ReadBlock64(const CDeviceLink& link, Clock& clock, uint8_t* out);

// 1 when a receive for catalogue row `modelIndex` reads 64-byte blocks, 0 for 8-byte
// blocks: never for series 0; otherwise on Windows only on an NT-family platform of
// version 5 on, and always elsewhere.
int UseWideReads(int32_t modelIndex, const OsVersion& version);

}  // namespace velloran
