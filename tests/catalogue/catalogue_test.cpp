#include "catalogue/backup_file.h"

#include <gtest/gtest.h>

#include "catalogue/backup_layout.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// A file context for `model` over a file holding `bytes`, in a folder of its own.
struct FileRig {
    FileRig(int32_t model, const Bytes& bytes) {
        context.modelIndex = model;
        context.filePath = dir.File("backup.vid");
        WriteBytes(context.filePath, bytes);
    }
    TempDir dir;
    BackupFileContext context;
};

// A single-region model takes its own and older files, never a newer one's, with a record that the
// file holds whole; the region's address and length come from the record, and stay once read
// when the file is refused after its record head.
TEST(BackupFile, ValidateSingleRegionAcceptsOnlyWhatTheModelMayTake) {
    using enum FileRefusal;
    const struct {
        int32_t model;
        Bytes header;
        uint32_t lengthField, dataBytes;
        FileRefusal refusal;
    } cases[] = {
        {kQ20, HeaderOf(kQ20), 1, 0, kTooShort},  // exactly 16 bytes
        {kQ20, HeaderOf(kQ20), 1, 1, kNone},
        {kQ20, HeaderOf(kQ10), 0x28000, 0x28000, kNone},
        {kQ20, HeaderOf(kQ30), 100, 100, kHeaderRefused},
        {kQ10, HeaderOf(kQ20), 100, 100, kHeaderRefused},
        {kQ10, HeaderOf(kQ10), 100, 100, kNone},
        {kQ10, Bytes(8, 0), 100, 100, kNone},
        {kQ20, Hex("00 08 09 01 00 00 01 02"), 5, 5, kNone},  // bytes 6 and 7 not examined
        {kQ20, Hex("09 09 09 09 09 09 00 00"), 5, 5, kHeaderRefused},
        {kQ20, HeaderOf(kQ20), 0, 10, kEmptyRecord},
        {kQ20, HeaderOf(kQ20), 300, 299, kShorterThanRecord},
        {kQ20, HeaderOf(kQ20), 300, 400, kNone},
        {kQ20, HeaderOf(kQ20), 0xFFFFFFF8u, 64, kShorterThanRecord},  // the end wraps past 32 bits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << " " << c.lengthField << " " << c.dataBytes);
        FileRig r(c.model, SingleRegionFile(c.header, 0x10018000, c.lengthField, c.dataBytes));
        BackupFileContext& context = r.context;
        EXPECT_EQ(TestBackupFile(context.filePath, c.model).refusal, c.refusal);
        EXPECT_EQ(context.ValidateSingleRegionFile(), c.refusal == kNone ? 1 : 0);
        const bool recordRead = c.refusal != kTooShort && c.refusal != kHeaderRefused;
        EXPECT_EQ(context.regionAddress, recordRead ? 0x10018000u : 0u);
        EXPECT_EQ(context.regionLength, recordRead ? c.lengthField : 0u);
    }
}

// The source layout of a file sent to an LM-Q30 follows from the header alone: 0 its own,
// 1 an LM-Q20's, 2 an LM-Q10's; a refused file leaves the layout as it was.
TEST(BackupFile, ClassifyMultiRegionFindsTheSourceLayoutFromTheHeader) {
    const struct {
        Bytes header;
        uint32_t totalBytes;
        int expected;
        uint32_t layout;
    } cases[] = {
        {HeaderOf(kQ30), 17, 1, 0},     {HeaderOf(kQ20), 163856, 1, 1},
        {HeaderOf(kQ10), 163856, 1, 2}, {HeaderOf(kQ30), 16, 0, 77},
        {Bytes(8, 0), 100, 0, 77},      {Hex("01 06 01 01 00 00 00 01"), 100, 0, 77},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.totalBytes);
        Bytes bytes = c.header;
        bytes.resize(c.totalBytes, 0xAB);
        FileRig r(kQ30, bytes);
        r.context.sourceLayout = 77;
        EXPECT_EQ(r.context.ClassifyMultiRegionFile(), c.expected);
        EXPECT_EQ(r.context.sourceLayout, c.layout);
    }
}

// The write loop ends on every kind of write: in pieces it succeeds; a failed call, a
// call that delivers nothing or more than asked fails it.
TEST(BackupFile, WriteFullyEndsOnEveryKindOfWrite) {
    const std::pair<std::vector<int64_t>, bool> cases[] = {
        {{3, 3, 4}, true}, {{3, -1}, false}, {{4, 0}, false}, {{11}, false}};
    for (const auto& [deliveries, expected] : cases) {
        size_t call = 0;
        const auto write = [&](const uint8_t*, uint32_t) -> int64_t {
            return call < deliveries.size() ? deliveries[call++] : (++call, 0);
        };
        const uint8_t bytes[10] = {};
        EXPECT_EQ(WriteFully(write, bytes, 10), expected);
        EXPECT_LE(call, deliveries.size() + 1);
    }
}

// Two digits each for year, month and day.
TEST(BackupLayout, DefaultNameIsDated) {
    EXPECT_EQ(DefaultFileName("lmq20", {2000, 1, 9}), "lmq20_000109.vid");
}

}  // namespace
}  // namespace velloran::testing
