#include "cli/file_summary_text.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/model_catalogue.h"

namespace velloran::cli {
namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::string ModelName(int32_t index) {
    const ModelEntry* model = ModelAt(index);
    return model != nullptr ? model->displayName : "?";
}

std::string SizeLine(const InspectReport& report) {
    std::string line = "size:    " + std::to_string(report.size) + " bytes";
    if (!report.expectedSize) {
        return line + "\n";
    }
    const uint64_t expected = *report.expectedSize;
    if (report.size == expected) {
        return line + ", as expected\n";
    }
    const bool shorter = report.size < expected;
    const uint64_t difference = shorter ? expected - report.size : report.size - expected;
    return line + ", expected " + std::to_string(expected) + " (" + std::to_string(difference) +
           (shorter ? " short)\n" : " more)\n");
}

std::string HeaderNote(const InspectReport& report) {
    const auto& header = *report.header;
    if (report.headerModel) {
        const bool tailZero = header[6] == 0 && header[7] == 0;
        return ModelName(*report.headerModel) + (tailZero ? "" : ", bytes 6 and 7 not zero");
    }
    for (uint8_t byte : header) {
        if (byte != 0) {
            return "no model of ours";
        }
    }
    return "all zero: no model";
}

std::string HeaderLine(const InspectReport& report) {
    if (!report.header) {
        return "header:  missing: the file is shorter than 8 bytes\n";
    }
    std::string line = "header: ";
    for (uint8_t byte : *report.header) {
        char text[4];
        std::snprintf(text, sizeof text, " %02x", byte);
        line += text;
    }
    return line + " (" + HeaderNote(report) + ")\n";
}

std::string RecordCheck(const RecordView& record) {
    if (!record.expected) {
        return "";
    }
    if (record.address == record.expected->address && record.length == record.expected->length) {
        return "  ok";
    }
    return "  differs: expected " + Hex(record.expected->address) + ", " +
           Hex(record.expected->length);
}

// "  2  at  20496  address 0x10ea0000  length 0x2800  (10240)  ok", in columns.
std::string RecordLine(size_t number, const RecordView& record) {
    char text[96];
    std::snprintf(text, sizeof text, "  %zu  at %6u  ", number, record.offset);
    if (!record.present) {
        return std::string(text) + "missing: the file ends before it\n";
    }
    const size_t used = std::strlen(text);
    std::snprintf(text + used, sizeof text - used, "address 0x%08x  length %-7s (%u)",
                  record.address, Hex(record.length).c_str(), record.length);
    return std::string(text) + RecordCheck(record) + "\n";
}

std::string Acceptance(const SendVerdict& send) {
    if (send.sourceLayout) {
        return "accepted: source layout " + std::to_string(*send.sourceLayout) + " (" +
               ModelName(static_cast<int32_t>(*send.sourceLayout)) + " file), " +
               std::to_string(send.frames) + " frames";
    }
    return "accepted: region " + Hex(send.regionAddress) + ", " +
           std::to_string(send.regionLength) + " bytes, " + std::to_string(send.frames) + " frames";
}

std::string SendLine(const SendVerdict& send) {
    std::string line = "  " + ModelName(send.modelIndex) + "  ";
    if (send.accepted) {
        return line + Acceptance(send) + "\n";
    }
    if (!send.passesFileTest) {
        return line + "refused: the file test does not accept the file\n";
    }
    return line + "refused: the file ends before its region plan (" +
           std::to_string(send.planExtent) + " bytes needed)\n";
}

}  // namespace

std::string FormatInspectReport(const InspectReport& report) {
    std::string text = "file:    " + report.path + "\n" + SizeLine(report) + HeaderLine(report);
    if (!report.records.empty()) {
        text += "records:\n";
    }
    for (size_t i = 0; i < report.records.size(); ++i) {
        text += RecordLine(i + 1, report.records[i]);
    }
    text += "send to:\n";
    for (const SendVerdict& send : report.sends) {
        text += SendLine(send);
    }
    return text;
}

}  // namespace velloran::cli
