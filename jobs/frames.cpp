#include "jobs/frames.h"

#include <algorithm>

#include "catalogue/little_endian.h"

namespace velloran {
namespace {

Frame Begin(uint8_t command, uint32_t length) {
    Frame frame;
    frame.bytes[0] = kFrameStart;
    frame.bytes[1] = command;
    frame.length = length;
    return frame;
}

}  // namespace

Frame OpenFrame(const ModelSignature& signature) {
    Frame frame = Begin(kOpenCommand, kOpenFrameLength);
    PutLe16(&frame.bytes[2], 4);
    std::copy(signature.begin(), signature.end(), frame.bytes.begin() + 4);
    return frame;
}

Frame AddressFrame(uint32_t address) {
    Frame frame = Begin(kAddressCommand, kAddressFrameLength);
    PutLe16(&frame.bytes[2], 4);
    PutLe32(&frame.bytes[4], address);
    return frame;
}

Frame ControlFrame(uint8_t controlCode) {
    Frame frame = Begin(kControlCommand, kControlFrameLength);
    frame.bytes[2] = controlCode;
    return frame;
}

Frame SetupFrame(uint32_t targetAddress, uint32_t setupValue) {
    Frame frame = Begin(kControlCommand, kSetupFrameLength);
    frame.bytes[2] = kSetupCode;
    PutLe16(&frame.bytes[3], 8);
    PutLe32(&frame.bytes[5], targetAddress);
    PutLe32(&frame.bytes[9], setupValue);
    return frame;
}

Frame DataFrame(const uint8_t* bytes, uint32_t count) {
    const uint32_t n = std::min(count, kDataChunk);
    Frame frame = Begin(kDataCommand, kDataFrameHeadLength + n);
    PutLe16(&frame.bytes[2], static_cast<uint16_t>(n));
    std::copy_n(bytes, n, frame.bytes.begin() + kDataFrameHeadLength);
    return frame;
}

}  // namespace velloran
