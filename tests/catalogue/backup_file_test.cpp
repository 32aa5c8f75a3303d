#include "catalogue/backup_file.h"

#include <gtest/gtest.h>

#include "catalogue/backup_layout.h"
#include "platform/exclusive_file.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kZeroHeader(8, 0);

std::vector<uint8_t> WithTail(std::vector<uint8_t> header, uint8_t b6, uint8_t b7) {
    header[6] = b6;
    header[7] = b7;
    return header;
}

struct SingleRegionCase {
    const char* name;
    int32_t modelIndex;
    std::vector<uint8_t> header;
    uint32_t lengthField;
    uint32_t dataBytes;
    int expected;
};

class ValidateSingleRegion : public ::testing::TestWithParam<SingleRegionCase> {};

TEST_P(ValidateSingleRegion, AcceptsOnlyWhatTheModelMayTake) {
    const SingleRegionCase& c = GetParam();
    TempDir dir;
    BackupFileContext context;
    context.modelIndex = c.modelIndex;
    context.filePath = dir.File("backup.vid");
    WriteBytes(context.filePath,
               SingleRegionFile(c.header, 0x10008000, c.lengthField, c.dataBytes));
    EXPECT_EQ(context.ValidateSingleRegionFile(), c.expected);
    if (c.expected == 1) {
        EXPECT_EQ(context.regionAddress, 0x10008000u);
        EXPECT_EQ(context.regionLength, c.lengthField);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ValidateSingleRegion,
    ::testing::Values(
        SingleRegionCase{"Exactly16BytesRefused", kQ20, HeaderOf(kQ20), 1, 0, 0},
        SingleRegionCase{"SeventeenBytesPass", kQ20, HeaderOf(kQ20), 1, 1, 1},
        SingleRegionCase{"OlderModel", kQ20, HeaderOf(kQ10), 0x28000, 0x28000, 1},
        SingleRegionCase{"NewerModelRefused", kQ20, HeaderOf(kQ30), 100, 100, 0},
        SingleRegionCase{"Q10TakesNoQ20", kQ10, HeaderOf(kQ20), 100, 100, 0},
        SingleRegionCase{"ZeroHeaderQ10", kQ10, kZeroHeader, 100, 100, 1},
        SingleRegionCase{"TailBytesNotExamined", kQ20, WithTail(HeaderOf(kQ20), 1, 2), 5, 5, 1},
        SingleRegionCase{"UnknownSignature", kQ20, {9, 9, 9, 9, 9, 9, 0, 0}, 5, 5, 0},
        SingleRegionCase{"LengthZeroRefused", kQ20, HeaderOf(kQ20), 0, 10, 0},
        SingleRegionCase{"OneByteShort", kQ20, HeaderOf(kQ20), 300, 299, 0},
        SingleRegionCase{"ExtraBytesIgnored", kQ20, HeaderOf(kQ20), 300, 400, 1},
        SingleRegionCase{"LengthWrapsPast32Bits", kQ20, HeaderOf(kQ20), 0xFFFFFFF8u, 64, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClassifyCase {
    const char* name;
    std::vector<uint8_t> header;
    uint32_t totalBytes;
    int expected;
    uint32_t layout;
};

class ClassifyMultiRegion : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyMultiRegion, FindsTheSourceLayoutFromTheHeaderAlone) {
    const ClassifyCase& c = GetParam();
    TempDir dir;
    BackupFileContext context;
    context.modelIndex = kQ30;
    context.filePath = dir.File("backup.vid");
    context.sourceLayout = 77;
    std::vector<uint8_t> bytes = c.header;
    bytes.resize(c.totalBytes, 0xAB);
    WriteBytes(context.filePath, bytes);
    EXPECT_EQ(context.ClassifyMultiRegionFile(), c.expected);
    EXPECT_EQ(context.sourceLayout, c.expected == 1 ? c.layout : 77u);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ClassifyMultiRegion,
    ::testing::Values(ClassifyCase{"Q30HeaderAndNineBytes", HeaderOf(kQ30), 17, 1, 0},
                      ClassifyCase{"Q20File", HeaderOf(kQ20), 163856, 1, 1},
                      ClassifyCase{"Q10File", HeaderOf(kQ10), 163856, 1, 2},
                      ClassifyCase{"Exactly16Bytes", HeaderOf(kQ30), 16, 0, 0},
                      ClassifyCase{"ZeroHeader", kZeroHeader, 100, 0, 0},
                      ClassifyCase{"TailBytesSet", WithTail(HeaderOf(kQ30), 0, 1), 100, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackupFile, ReadsExactlyOrFails) {
    TempDir dir;
    BackupFileContext context;
    context.filePath = dir.File("data.vid");
    WriteBytes(context.filePath, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    uint8_t out[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(context.ReadFileAt(4, 3, out), 1);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{3, 4, 5, 6}));
    EXPECT_EQ(context.ReadFileAt(6, 7, out), 0) << "past the end";
    context.filePath = dir.File("missing.vid");
    EXPECT_EQ(context.ReadFileAt(1, 0, out), 0);
}

TEST(BackupFile, AppendCreatesAppendsEmptiesAndLeavesAHeldFileAlone) {
    TempDir dir;
    const std::string path = dir.File("out.vid");
    const uint8_t first[] = {1, 2, 3};
    const uint8_t second[] = {4, 5};
    EXPECT_EQ(AppendToFile(path, second, 2, 0), 1);
    EXPECT_EQ(AppendToFile(path, first, 3, 0), 1);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4, 5, 1, 2, 3}));
    EXPECT_EQ(AppendToFile(path, second, 2, 1), 1);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(AppendToFile(dir.File("no/such/folder.vid"), first, 3, 1), 0);
    {
        ExclusiveFile holder(path, FileAccess::kReadExisting);
        ASSERT_TRUE(holder.IsOpen());
        EXPECT_EQ(AppendToFile(path, first, 3, 1), 0);
    }
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4, 5}));
}

struct WriteCase {
    const char* name;
    std::vector<int64_t> deliveries;  // what each write call reports
    bool expected;
};

class WriteFullyLoop : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteFullyLoop, EndsOnEveryKindOfWrite) {
    const WriteCase& c = GetParam();
    size_t call = 0;
    const auto write = [&](const uint8_t*, uint32_t) -> int64_t {
        // Beyond the script the writer delivers nothing, which must end the loop.
        return call < c.deliveries.size() ? c.deliveries[call++] : (++call, 0);
    };
    const uint8_t bytes[10] = {};
    EXPECT_EQ(WriteFully(write, bytes, 10), c.expected);
    EXPECT_LE(call, c.deliveries.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Loop, WriteFullyLoop,
                         ::testing::Values(WriteCase{"InPieces", {3, 3, 4}, true},
                                           WriteCase{"FailedCall", {3, -1}, false},
                                           WriteCase{"SucceedsWithNothing", {4, 0}, false},
                                           WriteCase{"DeliversMoreThanAsked", {11}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackupLayout, NamesAndMultiRegionOffsetsMatchTheFileFormat) {
    EXPECT_EQ(DefaultFileName("lmq20", {2000, 1, 9}), "lmq20_000109.vid");
    EXPECT_EQ(DefaultFileName("lmq30", {2099, 12, 31}), "lmq30_991231.vid");
    const uint32_t expected[] = {8, 0x5010, 0x7818, 0x17820, 0x27828, 0x29830, 0x2B838};
    for (uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(MultiRegionRecordOffset(i), expected[i]);
    }
    EXPECT_EQ(kMultiRegionFileLength, 186432u);
}

}  // namespace
}  // namespace velloran::testing
