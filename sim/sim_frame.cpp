#include "sim/sim_frame.h"

#include <algorithm>

#include "sim/sim_constants.h"

namespace velloran::sim {
namespace {

constexpr std::pair<std::string_view, FrameKind> kKindNames[] = {
    {"open", FrameKind::kOpen},           {"address", FrameKind::kAddress},
    {"control00", FrameKind::kControl00}, {"setup", FrameKind::kSetup},
    {"control05", FrameKind::kControl05}, {"target", FrameKind::kTarget},
    {"data", FrameKind::kData},           {"control07", FrameKind::kControl07},
    {"read8", FrameKind::kRead8},         {"read64", FrameKind::kRead64},
};

Frame OfKind(FrameKind kind) {
    return {kind, 0, 0, {}};
}

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

bool HasHeader(std::span<const uint8_t> bytes, std::span<const uint8_t> header) {
    return std::ranges::equal(bytes.subspan(kHeaderOffset, header.size()), header);
}

Frame ParseOpen(std::span<const uint8_t> bytes) {
    if (bytes.size() != kOpenFrameLength || !HasHeader(bytes, kOpenHeader)) {
        return {};
    }
    auto trailer = bytes.subspan(kSignatureOffset + kSignatureLength);
    if (std::ranges::any_of(trailer, [](uint8_t b) { return b != 0; })) {
        return {};
    }
    return {FrameKind::kOpen, 0, 0, bytes.subspan(kSignatureOffset, kSignatureLength)};
}

Frame ParseAddress(std::span<const uint8_t> bytes) {
    if (bytes.size() != kAddressFrameLength || !HasHeader(bytes, kAddressHeader)) {
        return {};
    }
    uint32_t address = Le32(bytes, kAddressOffset);
    return {address == kControlAddress ? FrameKind::kAddress : FrameKind::kTarget, address, 0, {}};
}

Frame ParseControl(std::span<const uint8_t> bytes) {
    if (bytes.size() == kSetupFrameLength && HasHeader(bytes, kSetupHeader)) {
        return {
            FrameKind::kSetup, Le32(bytes, kSetupTargetOffset), Le32(bytes, kSetupValueOffset), {}};
    }
    if (bytes.size() != kControlFrameLength) {
        return {};
    }
    switch (bytes[kControlCodeOffset]) {
        case kControlBegin:
            return OfKind(FrameKind::kControl00);
        case kControlPrepare:
            return OfKind(FrameKind::kControl05);
        case kControlFinish:
            return OfKind(FrameKind::kControl07);
        default:
            return {};
    }
}

Frame ParseData(std::span<const uint8_t> bytes) {
    if (bytes.size() <= kDataFrameHeadLength) {
        return {};
    }
    size_t count = static_cast<size_t>(bytes[kLengthOffset]) |
                   static_cast<size_t>(bytes[kLengthOffset + 1]) << 8;
    if (count == 0 || count > kDataChunk || bytes.size() != kDataFrameHeadLength + count) {
        return {};
    }
    return {FrameKind::kData, 0, 0, bytes.subspan(kDataFrameHeadLength)};
}

}  // namespace

Frame ParseFrame(std::span<const uint8_t> bytes) {
    if (bytes.size() == 1 && bytes[0] == kRead8Request) {
        return OfKind(FrameKind::kRead8);
    }
    if (bytes.size() == 1 && bytes[0] == kRead64Request) {
        return OfKind(FrameKind::kRead64);
    }
    if (bytes.size() < kControlFrameLength || bytes[0] != kFrameStart) {
        return {};
    }
    switch (bytes[kCommandOffset]) {
        case kOpenCommand:
            return ParseOpen(bytes);
        case kAddressCommand:
            return ParseAddress(bytes);
        case kControlCommand:
            return ParseControl(bytes);
        case kDataCommand:
            return ParseData(bytes);
        default:
            return {};
    }
}

std::optional<FrameKind> FrameKindFromName(std::string_view name) {
    for (const auto& [known, kind] : kKindNames) {
        if (known == name) {
            return kind;
        }
    }
    return std::nullopt;
}

}  // namespace velloran::sim
