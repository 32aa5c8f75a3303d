#include "cli/file_summary_json.h"

#include <cstdio>

#include "catalogue/model_catalogue.h"
#include "cli/refusal_reason.h"

namespace velloran::cli {
namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

template <typename T>
std::string OrNull(const std::optional<T>& value) {
    return value ? std::to_string(*value) : "null";
}

std::string ModelName(const std::optional<int32_t>& index) {
    return index ? Quoted(kModelCatalogue[*index].displayName) : "null";
}

std::string Header(const InspectReport& report) {
    if (!report.header) {
        return "null";
    }
    std::string hex;
    for (uint8_t byte : *report.header) {
        char part[4];
        std::snprintf(part, sizeof part, hex.empty() ? "%02x" : " %02x", byte);
        hex += part;
    }
    return Quoted(hex);
}

std::string Record(const RecordView& record) {
    std::string text = "{\"offset\": " + std::to_string(record.offset) +
                       ", \"present\": " + (record.present ? "true" : "false");
    if (record.present) {
        text += ", \"address\": " + std::to_string(record.address) +
                ", \"length\": " + std::to_string(record.length);
    }
    if (record.expected) {
        text += ", \"expectedAddress\": " + std::to_string(record.expected->address) +
                ", \"expectedLength\": " + std::to_string(record.expected->length);
    }
    return text + "}";
}

std::string Send(const InspectReport& report, const SendVerdict& send) {
    const std::optional<std::string> reason = RefusalReasonOf(report, send.modelIndex);
    return "{\"model\": " + ModelName(send.modelIndex) +
           ", \"accepted\": " + (send.accepted ? "true" : "false") +
           ", \"frames\": " + std::to_string(send.frames) +
           ", \"sourceLayout\": " + OrNull(send.sourceLayout) +
           ", \"reason\": " + (reason ? Quoted(*reason) : "null") + "}";
}

template <typename Item, typename Format>
std::string List(const std::vector<Item>& items, Format format) {
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "\n    " : ",\n    ") + format(items[i]);
    }
    return text + (items.empty() ? "]" : "\n  ]");
}

}  // namespace

std::string FormatInspectJson(const InspectReport& report) {
    return "{\n  \"path\": " + Quoted(report.path) +
           ",\n  \"size\": " + std::to_string(report.size) + ",\n  \"header\": " + Header(report) +
           ",\n  \"headerModel\": " + ModelName(report.headerModel) +
           ",\n  \"expectedSize\": " + OrNull(report.expectedSize) +
           ",\n  \"records\": " + List(report.records, Record) + ",\n  \"sends\": " +
           List(report.sends, [&](const SendVerdict& send) { return Send(report, send); }) +
           "\n}\n";
}

}  // namespace velloran::cli
