#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/backup_file.h"

namespace velloran::cli {

// Whether a send of a file to one model would start, as the dispatcher decides it: the
// model's file test, then (multi-region model) the check that the file reaches the end
// of its region plan.
struct SendVerdict {
    int32_t modelIndex = 0;
    FileVerdict file;  // what the file test found, and why it refuses
    bool passesFileTest = false;
    bool accepted = false;       // a send would start its job
    uint32_t frames = 0;         // steps of a complete send, when accepted
    uint32_t regionAddress = 0;  // single-region models, when the record head was read
    uint32_t regionLength = 0;
    std::optional<uint32_t> sourceLayout;  // multi-region model, when the file test passes
    uint64_t planExtent = 0;               // bytes of the file its region plan reads
};

SendVerdict JudgeSend(const std::string& path, int32_t modelIndex);

}  // namespace velloran::cli
