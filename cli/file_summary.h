#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/backup_layout.h"
#include "cli/send_verdict.h"

namespace velloran::cli {

// One region record head as it stands in the file, beside what belongs there.
struct RecordView {
    uint32_t offset = 0;
    bool present = false;  // the file holds the whole 8-byte head
    uint32_t address = 0;
    uint32_t length = 0;
    std::optional<MemoryRegion> expected;  // what the header's model puts there
};

// What a backup file holds and which models would take it.
struct InspectReport {
    std::string path;
    uint64_t size = 0;
    std::optional<std::array<uint8_t, kFileHeaderLength>> header;  // absent: file too short
    std::optional<int32_t> headerModel;  // the model whose signature the header carries
    std::vector<RecordView> records;     // seven for an LM-Q30 file, else one
    std::optional<uint64_t> expectedSize;
    std::vector<SendVerdict> sends;  // one per model, in catalogue order
};

// Reads the file's header and record heads and judges a send to every model. Nothing
// when the file cannot be read.
std::optional<InspectReport> InspectFile(const std::string& path);

}  // namespace velloran::cli
