#include "jobs/backup_compare.h"

#include <gtest/gtest.h>

#include <sstream>

#include "catalogue/backup_layout.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Each range as "address+length expected>actual", "!" when the held side lacks it.
std::string RangesText(const ImageComparison& comparison) {
    std::ostringstream out;
    for (const DifferingRange& r : comparison.ranges) {
        out << std::hex << r.address << "+" << r.length << (r.missing ? "!" : "") << " ";
        for (const uint8_t b : r.expected) {
            out << int{b} << ".";
        }
        out << ">";
        for (const uint8_t b : r.actual) {
            out << int{b} << ".";
        }
        out << ";";
    }
    return out.str();
}

// The written side is always 16 bytes 0..15 placed at 0x1000 from offset 0; a range keeps
// at most eight bytes of either side.
TEST(CompareImages, FindsEveryDifferingRange) {
    const Bytes source{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::vector<ImageSegment> whole{{0x1000, 16, 0}};
    // The held side starts two bytes in, at another offset, in two pieces.
    const std::vector<ImageSegment> pieces{{0x1008, 8, 8}, {0x1002, 6, 2}};
    const struct {
        const char* target;
        const std::vector<ImageSegment>& held;
        const char* ranges;
    } cases[] = {
        {"00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f", whole, ""},
        {"00 01 aa 03 04 05 06 07 08 09 0a 0b 0c bb cc 0f", whole,
         "1002+1 2.>aa.;100d+2 d.e.>bb.cc.;"},
        {"09 09 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f", pieces, "1000+2! 0.1.>;"},
        {"ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff", whole,
         "1000+10 0.1.2.3.4.5.6.7.>ff.ff.ff.ff.ff.ff.ff.ff.;"},
        // A held segment that runs past the end of its bytes holds only what is there.
        {"00 01 02 03 04 05 06 07 08 09", whole, "100a+6! a.b.c.d.e.f.>;"},
    };
    for (const auto& c : cases) {
        const ImageComparison result = CompareImages(source, whole, Hex(c.target), c.held);
        EXPECT_EQ(RangesText(result), c.ranges);
        EXPECT_EQ(result.comparedBytes, 16u);
    }
}

// Across layouts only the two regions a send into an LM-Q30 writes count, whichever
// file comes first; the bytes of a range stay with their own file.
TEST(DiffBackups, OlderModelAgainstNewerByTheRegionPlan) {
    TempDir dir;
    Bytes single = SingleRegionFile(HeaderOf(kQ10), 0x10008000, 0x28000, 0x28000, 3);
    Bytes multi = MultiRegionFile(0);  // the regions a send of `single` writes, copied in
    std::copy_n(single.begin() + 0x2014, 0x2000, multi.begin() + 0x27830);  // 0x10F60000
    std::copy_n(single.begin() + 0x8014, 0x10000, multi.begin() + 0x7820);  // 0x10EE0000
    single[100] ^= 0xFF;  // outside the plan: not compared
    const std::string older = dir.File("q10.vid"), newer = dir.File("q30.vid");
    WriteBytes(older, single);
    WriteBytes(newer, multi);
    EXPECT_TRUE(DiffBackups(older, newer).comparison.Identical());
    single[0x8014 + 5] ^= 0xFF;
    WriteBytes(older, single);
    for (const bool olderFirst : {true, false}) {
        const BackupDiff diff = olderFirst ? DiffBackups(older, newer) : DiffBackups(newer, older);
        ASSERT_EQ(diff.comparison.ranges.size(), 1u);
        const DifferingRange& range = diff.comparison.ranges[0];
        EXPECT_EQ(range.address, 0x10EE0005u);
        EXPECT_EQ((olderFirst ? range.expected : range.actual)[0], single[0x8014 + 5]);
        EXPECT_EQ((olderFirst ? range.actual : range.expected)[0], single[0x8014 + 5] ^ 0xFF);
        EXPECT_EQ(diff.comparison.comparedBytes, 0x12000u);
    }
}

}  // namespace
}  // namespace velloran::testing
