#include "jobs/exchange_trace.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/little_endian.h"
#include "jobs/frames.h"
#include "link/frame_exchange.h"

namespace velloran {
namespace {

std::string Hex(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::string ControlName(uint8_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "control%02x", code);
    return name;
}

std::string FrameReply(const ExchangeRecord& record) {
    if (record.received.empty()) {
        return "no reply";
    }
    return "reply " + Hex(record.received) + (record.succeeded ? " ack" : " refused");
}

std::string BlockReply(const ExchangeRecord& record, uint32_t blockLength) {
    const std::string bytes = record.received.empty() ? "" : ": " + Hex(record.received);
    if (record.succeeded) {
        return "got " + std::to_string(blockLength) + " bytes" + bytes;
    }
    return "got " + std::to_string(record.received.size()) + " of " + std::to_string(blockLength) +
           " bytes" + bytes;
}

std::string Result(const ExchangeRecord& record) {
    if (!record.written) {
        return "write failed";
    }
    const bool read = record.sent.size() == 1;
    const std::string what =
        read ? BlockReply(record, record.sent[0] == kRead64Request ? kWideBlock : kSmallBlock)
             : FrameReply(record);
    return record.succeeded || !record.received.empty() ? what : what + " (deadline)";
}

}  // namespace

std::string FrameKindName(std::span<const uint8_t> sent) {
    if (sent.size() == 1 && (sent[0] == kRead8Request || sent[0] == kRead64Request)) {
        return sent[0] == kRead8Request ? "read8" : "read64";
    }
    if (sent.size() < kControlFrameLength || sent[0] != kFrameStart) {
        return "frame";
    }
    switch (sent[kCommandOffset]) {
        case kOpenCommand:
            return "open";
        case kAddressCommand:
            return sent.size() == kAddressFrameLength &&
                           GetLe32(&sent[kAddressOffset]) == kControlAddress
                       ? "address"
                       : "target";
        case kControlCommand:
            return sent[kControlCodeOffset] == kSetupCode ? "setup"
                                                          : ControlName(sent[kControlCodeOffset]);
        case kDataCommand:
            return "data";
        default:
            return "frame";
    }
}

std::string FormatExchange(const ExchangeRecord& record, uint32_t sinceStartMs) {
    char head[48];
    std::snprintf(head, sizeof head, "%7u ms  %-9s ", sinceStartMs,
                  FrameKindName(record.sent).c_str());
    return head + Hex(record.sent) + "  polls " + std::to_string(record.polls) + "  " +
           Result(record);
}

ExchangeTrace::ExchangeTrace(std::ostream& out, Clock& clock)
    : out_(out), clock_(clock), startMs_(clock.TickMs()) {}

void ExchangeTrace::Exchanged(const ExchangeRecord& record) {
    out_ << FormatExchange(record, record.startMs - startMs_) << std::endl;
}

void ExchangeTrace::Note(const std::string& text) {
    const uint32_t sinceStart = clock_.TickMs() - startMs_;
    char head[24];
    std::snprintf(head, sizeof head, "%7u ms  ", sinceStart);
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    out_ << head << line << std::endl;
}

}  // namespace velloran
