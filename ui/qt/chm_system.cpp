#include "ui/qt/chm_system.h"

#include <cstdint>

namespace velloran {
namespace {

constexpr size_t kVersionBytes = 4;
constexpr size_t kRecordHeadBytes = 4;
constexpr uint16_t kContentsFileCode = 0;
constexpr uint16_t kDefaultTopicCode = 2;
constexpr uint16_t kTitleCode = 3;

uint16_t Le16At(std::string_view bytes, size_t offset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[offset]) |
                                 static_cast<uint8_t>(bytes[offset + 1]) << 8);
}

// The record's text up to its terminating zero.
std::string TextOf(std::string_view data) {
    return std::string(data.substr(0, data.find('\0')));
}

}  // namespace

ChmSystemInfo ParseChmSystem(std::string_view bytes) {
    ChmSystemInfo info;
    size_t offset = kVersionBytes;
    while (offset + kRecordHeadBytes <= bytes.size()) {
        const uint16_t code = Le16At(bytes, offset);
        const size_t length = Le16At(bytes, offset + 2);
        offset += kRecordHeadBytes;
        if (offset + length > bytes.size()) {
            break;
        }
        const std::string_view data = bytes.substr(offset, length);
        if (code == kContentsFileCode) {
            info.contentsFile = TextOf(data);
        } else if (code == kDefaultTopicCode) {
            info.defaultTopic = TextOf(data);
        } else if (code == kTitleCode) {
            info.title = TextOf(data);
        }
        offset += length;
    }
    return info;
}

}  // namespace velloran
