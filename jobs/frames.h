#pragma once

#include <array>
#include <cstdint>

#include "catalogue/model_catalogue.h"
#include "jobs/failure_detail.h"
#include "link/frame_exchange.h"

namespace velloran {

// Command bytes and fixed values of the printer's command frames.
inline constexpr uint8_t kFrameStart = 0x02;
inline constexpr uint8_t kOpenCommand = 0x02;
inline constexpr uint8_t kAddressCommand = 0xEC;
inline constexpr uint8_t kControlCommand = 0xEB;
inline constexpr uint8_t kDataCommand = 0xED;

inline constexpr uint8_t kControlBegin = 0x00;
inline constexpr uint8_t kControlPrepare = 0x05;
inline constexpr uint8_t kControlFinish = 0x07;
inline constexpr uint8_t kSetupCode = 0x09;

inline constexpr uint32_t kControlAddress = 0x10000000;
inline constexpr uint32_t kDataChunk = 60;
inline constexpr uint32_t kMaxFrameLength = 64;
inline constexpr uint32_t kMultiRegionSetupValue = 0x20000;

inline constexpr uint32_t kOpenFrameLength = 16;
inline constexpr uint32_t kAddressFrameLength = 8;
inline constexpr uint32_t kControlFrameLength = 3;
inline constexpr uint32_t kSetupFrameLength = 13;
inline constexpr uint32_t kDataFrameHeadLength = 4;

// Where each field stands in a frame.
inline constexpr uint32_t kCommandOffset = 1;
inline constexpr uint32_t kLengthOffset = 2;  // LE16 count of the bytes that follow
inline constexpr uint32_t kControlCodeOffset = 2;
inline constexpr uint32_t kSignatureOffset = 4;
inline constexpr uint32_t kAddressOffset = 4;
inline constexpr uint32_t kSetupLengthOffset = 3;
inline constexpr uint32_t kSetupTargetOffset = 5;
inline constexpr uint32_t kSetupValueOffset = 9;
inline constexpr uint32_t kDataOffset = kDataFrameHeadLength;

// The LE16 counts the open, address and setup frames carry.
inline constexpr uint16_t kAddressFieldLength = 4;
inline constexpr uint16_t kSetupFieldsLength = 8;

// One frame: its bytes and the exact length handed to the printer.
struct Frame {
    std::array<uint8_t, kMaxFrameLength> bytes{};
    uint32_t length = 0;

    const uint8_t* data() const { return bytes.data(); }
};

Frame OpenFrame(const ModelSignature& signature);
Frame AddressFrame(uint32_t address);
Frame ControlFrame(uint8_t controlCode);
Frame SetupFrame(uint32_t targetAddress, uint32_t setupValue);
// `count` is 1 to 60; the bytes are copied in order.
Frame DataFrame(const uint8_t* bytes, uint32_t count);

// The FailureDetail of each frame that may go unacknowledged.
inline constexpr FailureDetail kDetailControlAddressFrame = MakeFailureDetail(kAddressCommand, 0);
inline constexpr FailureDetail kDetailTargetAddressFrame = MakeFailureDetail(kAddressCommand, 1);
inline constexpr FailureDetail kDetailRegionAddressFrame = MakeFailureDetail(kAddressCommand, 0);
inline constexpr FailureDetail kDetailControlBegin =
    MakeFailureDetail(kControlCommand, kControlBegin);
inline constexpr FailureDetail kDetailSetupFrame = MakeFailureDetail(kControlCommand, kSetupCode);
inline constexpr FailureDetail kDetailControlPrepare =
    MakeFailureDetail(kControlCommand, kControlPrepare);
inline constexpr FailureDetail kDetailControlFinish =
    MakeFailureDetail(kControlCommand, kControlFinish);
inline constexpr FailureDetail kDetailDataFrame = MakeFailureDetail(kDataCommand, 0);
inline constexpr FailureDetail kDetailRead8 = MakeFailureDetail(kRead8Request, 0);
inline constexpr FailureDetail kDetailRead64 = MakeFailureDetail(kRead64Request, 0);

}  // namespace velloran
