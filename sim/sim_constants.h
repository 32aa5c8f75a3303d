#pragma once

// Every fixed value of the simulated printer: frame layout, reply bytes, the control
// register, driver return codes and the environment variables that shape a session.

#include <cstddef>
#include <cstdint>

namespace velloran::sim {

// Frame layout: a start byte, a command byte, then the command's own fields.
inline constexpr uint8_t kFrameStart = 0x02;
inline constexpr uint8_t kOpenCommand = 0x02;
inline constexpr uint8_t kControlCommand = 0xEB;
inline constexpr uint8_t kAddressCommand = 0xEC;
inline constexpr uint8_t kDataCommand = 0xED;

inline constexpr size_t kOpenFrameLength = 16;
inline constexpr size_t kAddressFrameLength = 8;
inline constexpr size_t kControlFrameLength = 3;
inline constexpr size_t kSetupFrameLength = 13;
inline constexpr size_t kDataFrameHeadLength = 4;
inline constexpr size_t kDataChunk = 60;
inline constexpr size_t kSignatureLength = 6;

// Field offsets within a frame.
inline constexpr size_t kCommandOffset = 1;
inline constexpr size_t kHeaderOffset = 2;  // the fixed bytes after the command byte
inline constexpr size_t kLengthOffset = 2;  // LE16 count of the bytes that follow
inline constexpr size_t kControlCodeOffset = 2;
inline constexpr size_t kSignatureOffset = 4;
inline constexpr size_t kAddressOffset = 4;
inline constexpr size_t kSetupTargetOffset = 5;
inline constexpr size_t kSetupValueOffset = 9;

// Fixed bytes after the command byte: the open and address frames carry a length of
// four, the setup frame its own code and a length of eight.
inline constexpr uint8_t kOpenHeader[] = {0x04, 0x00};
inline constexpr uint8_t kAddressHeader[] = {0x04, 0x00};
inline constexpr uint8_t kSetupHeader[] = {0x09, 0x08, 0x00};

inline constexpr uint8_t kControlBegin = 0x00;
inline constexpr uint8_t kControlPrepare = 0x05;
inline constexpr uint8_t kControlFinish = 0x07;

// Single-byte read requests and their block sizes.
inline constexpr uint8_t kRead8Request = 0x20;
inline constexpr uint8_t kRead64Request = 0x21;
inline constexpr uint32_t kRead8Length = 8;
inline constexpr uint32_t kRead64Length = 64;

inline constexpr uint8_t kAckByte = 0x06;
inline constexpr uint8_t kRefuseByte = 0x15;
inline constexpr uint8_t kIdleByte = 0x00;

inline constexpr uint32_t kControlAddress = 0x10000000;

// Driver calls: 0 is success; any failure answers 1.
inline constexpr uint32_t kCallOk = 0;
inline constexpr uint32_t kCallFailed = 1;
inline constexpr uint32_t kMaxWriteCount = 64;
inline constexpr uint32_t kHandleBase = 0x5E1D0000;

// Seed hash multiplier (Knuth's multiplicative constant).
inline constexpr uint32_t kSeedMultiplier = 2654435761u;
inline constexpr unsigned kSeedShift = 24;

// State folder fallbacks below $XDG_STATE_HOME, %LOCALAPPDATA% (Windows) and $HOME.
inline constexpr const char* kStateFolderName = "velloran-sim";
inline constexpr const char* kHomeStateSubpath = ".local/state";

inline constexpr const char* kEnvStateDir = "VELLORAN_SIM_STATE_DIR";
inline constexpr const char* kEnvXdgStateHome = "XDG_STATE_HOME";
inline constexpr const char* kEnvLocalAppData = "LOCALAPPDATA";
inline constexpr const char* kEnvHome = "HOME";
inline constexpr const char* kEnvModel = "VELLORAN_SIM_MODEL";
inline constexpr const char* kEnvActiveIndex = "VELLORAN_SIM_ACTIVE_INDEX";
inline constexpr const char* kEnvDevices = "VELLORAN_SIM_DEVICES";
inline constexpr const char* kEnvFailStart = "VELLORAN_SIM_FAIL_START";
inline constexpr const char* kEnvRefuseFrame = "VELLORAN_SIM_REFUSE_FRAME";
inline constexpr const char* kEnvRefuseKind = "VELLORAN_SIM_REFUSE_KIND";
inline constexpr const char* kEnvSilentFrom = "VELLORAN_SIM_SILENT_FROM";
inline constexpr const char* kEnvLateReads = "VELLORAN_SIM_LATE_READS";
inline constexpr const char* kEnvSplit = "VELLORAN_SIM_SPLIT";
inline constexpr const char* kEnvPad = "VELLORAN_SIM_PAD";
inline constexpr const char* kEnvFailRead = "VELLORAN_SIM_FAIL_READ";
inline constexpr const char* kEnvFailWrite = "VELLORAN_SIM_FAIL_WRITE";
inline constexpr const char* kEnvLog = "VELLORAN_SIM_LOG";

inline constexpr const char* kActiveIndexNone = "none";
inline constexpr const char* kFailReadCount = "count";
inline constexpr const char* kFailReadNoCount = "nocount";
inline constexpr int32_t kDefaultActiveIndex = 0;
// Printers listed in VELLORAN_SIM_DEVICES other than index 0 keep their memory in a
// folder of their own, "device-K" in the state folder.
inline constexpr const char* kDeviceFolderPrefix = "device-";

}  // namespace velloran::sim
