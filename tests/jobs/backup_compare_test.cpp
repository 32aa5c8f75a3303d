#include "jobs/backup_compare.h"

#include <gtest/gtest.h>

#include "catalogue/backup_layout.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran {
namespace {

using testing::HeaderOf;
using testing::SingleRegionFile;
using testing::TempDir;
using testing::WriteBytes;

using Bytes = std::vector<uint8_t>;

// One range as a test writes it down: address, length, bytes kept from either side.
struct Range {
    uint32_t address;
    uint32_t length;
    Bytes expected;
    Bytes actual;
    bool missing = false;
    bool operator==(const Range&) const = default;
};

std::vector<Range> RangesOf(const ImageComparison& comparison) {
    std::vector<Range> ranges;
    for (const DifferingRange& r : comparison.ranges) {
        ranges.push_back({r.address, r.length, r.expected, r.actual, r.missing});
    }
    return ranges;
}

struct CompareCase {
    const char* name;
    Bytes target;
    std::vector<ImageSegment> held;
    std::vector<Range> ranges;
    uint64_t compared;
};

// The written side is always 16 bytes 0..15 placed at 0x1000 from offset 0.
class CompareImagesTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareImagesTest, FindsEveryDifferingRange) {
    const Bytes source{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::vector<ImageSegment> written{{0x1000, 16, 0}};
    const ImageComparison result =
        CompareImages(source, written, GetParam().target, GetParam().held);
    EXPECT_EQ(RangesOf(result), GetParam().ranges);
    EXPECT_EQ(result.comparedBytes, GetParam().compared);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompareImagesTest,
    ::testing::Values(
        CompareCase{"Identical",
                    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                    {{0x1000, 16, 0}},
                    {},
                    16},
        CompareCase{"OneByteAndARunOfTwo",
                    {0, 1, 0xAA, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xBB, 0xCC, 15},
                    {{0x1000, 16, 0}},
                    {{0x1002, 1, {2}, {0xAA}}, {0x100D, 2, {13, 14}, {0xBB, 0xCC}}},
                    16},
        // The held side starts two bytes in, at another offset, in two pieces.
        CompareCase{"HeldInPiecesAtOtherOffsets",
                    {9, 9, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                    {{0x1008, 8, 8}, {0x1002, 6, 2}},
                    {{0x1000, 2, {0, 1}, {}, true}},
                    16},
        CompareCase{"AllDifferKeepsEightBytes",
                    Bytes(16, 0xFF),
                    {{0x1000, 16, 0}},
                    {{0x1000, 16, {0, 1, 2, 3, 4, 5, 6, 7}, Bytes(8, 0xFF)}},
                    16},
        // A held segment that runs past the end of its bytes holds only what is there.
        CompareCase{"HeldSideTooShort",
                    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                    {{0x1000, 16, 0}},
                    {{0x100A, 6, {10, 11, 12, 13, 14, 15}, {}, true}},
                    16}),
    [](const auto& info) { return std::string(info.param.name); });

class DiffBackupsTest : public ::testing::Test {
  protected:
    std::string Write(const char* name, const Bytes& bytes) {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    static Bytes SingleRegion(int32_t model, uint32_t seed) {
        return SingleRegionFile(HeaderOf(model), 0x10008000, 0x28000, 0x28000, seed);
    }
    // An LM-Q30 file whose regions hold what a send of `single` writes, the rest zero.
    static Bytes MultiRegionHolding(const Bytes& single) {
        Bytes file = HeaderOf(0);
        for (const MemoryRegion& region : kMultiRegionTable) {
            testing::AppendLe32(file, region.address);
            testing::AppendLe32(file, region.length);
            file.resize(file.size() + region.length, 0);
        }
        std::copy_n(single.begin() + 0x2014, 0x2000, file.begin() + 0x27830);  // 0x10F60000
        std::copy_n(single.begin() + 0x8014, 0x10000, file.begin() + 0x7820);  // 0x10EE0000
        return file;
    }
    TempDir dir;
};

// Across layouts only the two regions a send into an LM-Q30 writes count, whichever
// file comes first; the bytes of a range stay with their own file.
TEST_F(DiffBackupsTest, OlderModelAgainstNewerByTheRegionPlan) {
    Bytes single = SingleRegion(2, 3);
    const Bytes multi = MultiRegionHolding(single);
    single[100] ^= 0xFF;  // outside the plan: not compared
    const std::string older = Write("q10.vid", single);
    const std::string newer = Write("q30.vid", multi);
    EXPECT_TRUE(DiffBackups(older, newer).comparison.Identical());
    single[0x8014 + 5] ^= 0xFF;
    Write("q10.vid", single);
    for (const bool olderFirst : {true, false}) {
        const BackupDiff diff = olderFirst ? DiffBackups(older, newer) : DiffBackups(newer, older);
        const std::vector<Range> ranges = RangesOf(diff.comparison);
        ASSERT_EQ(ranges.size(), 1u);
        EXPECT_EQ(ranges[0].address, 0x10EE0005u);
        EXPECT_EQ((olderFirst ? ranges[0].expected : ranges[0].actual)[0], single[0x8014 + 5]);
        EXPECT_EQ(diff.comparison.comparedBytes, 0x12000u);
    }
}

}  // namespace
}  // namespace velloran
