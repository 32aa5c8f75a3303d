#include "jobs/frames.h"

#include <algorithm>

#include "catalogue/little_endian.h"

namespace velloran {
namespace {

Frame Begin(uint8_t command, uint32_t length) {
    Frame frame;
    frame.bytes[0] = kFrameStart;
    frame.bytes[kCommandOffset] = command;
    frame.length = length;
    return frame;
}

}  // namespace

Frame OpenFrame(const ModelSignature& signature) {
    Frame frame = Begin(kOpenCommand, kOpenFrameLength);
    PutLe16(&frame.bytes[kLengthOffset], kAddressFieldLength);
    std::copy(signature.begin(), signature.end(), frame.bytes.begin() + kSignatureOffset);
    return frame;
}

Frame AddressFrame(uint32_t address) {
    Frame frame = Begin(kAddressCommand, kAddressFrameLength);
    PutLe16(&frame.bytes[kLengthOffset], kAddressFieldLength);
    PutLe32(&frame.bytes[kAddressOffset], address);
    return frame;
}

Frame ControlFrame(uint8_t controlCode) {
    Frame frame = Begin(kControlCommand, kControlFrameLength);
    frame.bytes[kControlCodeOffset] = controlCode;
    return frame;
}

Frame SetupFrame(uint32_t targetAddress, uint32_t setupValue) {
    Frame frame = Begin(kControlCommand, kSetupFrameLength);
    frame.bytes[kControlCodeOffset] = kSetupCode;
    PutLe16(&frame.bytes[kSetupLengthOffset], kSetupFieldsLength);
    PutLe32(&frame.bytes[kSetupTargetOffset], targetAddress);
    PutLe32(&frame.bytes[kSetupValueOffset], setupValue);
    return frame;
}

Frame DataFrame(const uint8_t* bytes, uint32_t count) {
    const uint32_t n = std::min(count, kDataChunk);
    Frame frame = Begin(kDataCommand, kDataFrameHeadLength + n);
    PutLe16(&frame.bytes[kLengthOffset], static_cast<uint16_t>(n));
    std::copy_n(bytes, n, frame.bytes.begin() + kDataOffset);
    return frame;
}

}  // namespace velloran
