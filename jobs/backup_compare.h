#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jobs/image_compare.h"

namespace velloran {

// What a send of the file at `path` into the model at `modelIndex` writes, as segments of
// the file: the file's one record for a single-region model, the region plan of its
// source layout for the multi-region model. Nothing when the send would refuse the file
// (the same tests and checks the dispatcher makes).
std::optional<std::vector<ImageSegment>> SegmentsASendWrites(const std::string& path,
                                                             int32_t modelIndex);

// Where the memory a receive from the model reads stands in the backup it builds.
std::vector<ImageSegment> SegmentsAReceiveHolds(int32_t modelIndex);

// The model whose signature the first 6 bytes of the file carry; nothing when
// the file cannot be read or carries no model's signature.
std::optional<int32_t> ModelOfBackup(const std::string& path);

// The first `length` bytes of the file, or nothing when it holds fewer or cannot be read.
std::optional<std::vector<uint8_t>> ReadBackupBytes(const std::string& path, uint32_t length);

// The bytes the segments reach up to.
uint32_t SegmentsExtent(const std::vector<ImageSegment>& segments);

// Compares the file at `path`, as a send into `modelIndex` writes it, with `received`,
// the backup a receive from that model built. Nothing when the send would refuse the
// file or it cannot be read.
std::optional<ImageComparison> VerifyAgainstReceived(const std::string& path, int32_t modelIndex,
                                                     const std::vector<uint8_t>& received);

// How two backups are compared, or which of them is refused.
struct BackupDiff {
    int refusedFile = 0;  // 1 or 2 when that file is refused, else 0
    ImageComparison comparison;
};

// Compares two backups by printer address. Files of one layout are compared record by
// record; an LM-Q20 or LM-Q10 file against an LM-Q30 file, by the regions a send of the
// older model's file into an LM-Q30 writes. A file is refused when it carries no model's
// header or a send of it into its own model (or the LM-Q30, across layouts) would refuse
// it. `expected` bytes of a range are the first file's, `actual` the second's.
BackupDiff DiffBackups(const std::string& first, const std::string& second);

}  // namespace velloran
