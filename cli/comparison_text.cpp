#include "cli/comparison_text.h"

#include <cstdio>

namespace velloran::cli {
namespace {

std::string Bytes(const std::vector<uint8_t>& bytes, uint32_t length) {
    std::string text;
    for (uint8_t byte : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, " %02x", byte);
        text += part;
    }
    return length > bytes.size() ? text + " ..." : text;
}

std::string Count(uint64_t count, const char* unit) {
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

std::string Side(const char* name, const std::vector<uint8_t>& bytes, uint32_t length) {
    std::string text(name);
    text.append(bytes.empty() ? " holds none" : ":");
    return bytes.empty() ? text : text.append(Bytes(bytes, length));
}

std::string RangeLine(const DifferingRange& range, SideNames names) {
    char head[40];
    std::snprintf(head, sizeof head, "  0x%08x  ", range.address);
    return head + Count(range.length, "byte") + "  " +
           Side(names.expected, range.expected, range.length) + "  " +
           Side(names.actual, range.actual, range.length) + "\n";
}

}  // namespace

std::string FormatComparison(const ImageComparison& comparison, SideNames names) {
    if (comparison.Identical()) {
        return "identical\n";
    }
    std::string text = "differs: " + Count(comparison.ranges.size(), "range") + ", " +
                       Count(comparison.differingBytes, "byte") + " of " +
                       std::to_string(comparison.comparedBytes) + " compared\n";
    for (size_t i = 0; i < comparison.ranges.size() && i < kListedRanges; ++i) {
        text += RangeLine(comparison.ranges[i], names);
    }
    if (comparison.ranges.size() > kListedRanges) {
        text += "  and " + Count(comparison.ranges.size() - kListedRanges, "more range") + "\n";
    }
    return text;
}

}  // namespace velloran::cli
