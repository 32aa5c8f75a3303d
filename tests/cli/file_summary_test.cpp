#include <gtest/gtest.h>

#include "catalogue/backup_layout.h"
#include "tests/cli/cli_harness.h"
#include "tests/support/backup_builder.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kImage = 0x28000;
constexpr uint32_t kImageAddress = 0x10008000;

std::vector<uint8_t> MultiRegionFile() {
    std::vector<uint8_t> file = HeaderOf(kQ30);
    for (const MemoryRegion& region : kQ30Regions) {
        AppendLe32(file, region.address);
        AppendLe32(file, region.length);
        for (uint32_t i = 0; i < region.length; ++i) {
            file.push_back(PatternByte(i, region.address));
        }
    }
    return file;
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> file, size_t size) {
    file.resize(size);
    return file;
}

TEST_F(CliTest, InspectDescribesASingleRegionFileLineByLine) {
    Write("lmq20.vid", SingleRegionFile(HeaderOf(kQ20), kImageAddress, kImage, kImage));
    EXPECT_EQ(Run({"inspect", "lmq20.vid"}).out,
              "file:    lmq20.vid\n"
              "size:    163856 bytes, as expected\n"
              "header:  00 08 09 01 00 00 00 00 (LM-Q20)\n"
              "records:\n"
              "  1  at      8  address 0x10008000  length 0x28000 (163840)  ok\n"
              "send to:\n"
              "  LM-Q30  accepted: source layout 1 (LM-Q20 file), 1248 frames\n"
              "  LM-Q20  accepted: region 0x10008000, 163840 bytes, 2740 frames\n"
              "  LM-Q10  refused: the file test does not accept the file\n");
}

// The same analysis for scripts, quotes and control characters in the path escaped.
TEST_F(CliTest, InspectJsonForScripts) {
#if defined(_WIN32)
    const std::string name = "b.vid";  // no quote or control character in a Windows name
    const std::string escaped = "b.vid";
#else
    const std::string name = "a\"b\n.vid";
    const std::string escaped = "a\\\"b\\u000a.vid";
#endif
    Write(name, SingleRegionFile(HeaderOf(kQ20), kImageAddress, kImage, 20));
    const CliRun run = Run({"inspect", "--json", name});
    EXPECT_EQ(run.exitStatus, 0);
    std::string expected = "{\n  \"path\": \"";
    expected.append(escaped).append(
        "\",\n"
        "  \"size\": 36,\n"
        "  \"header\": \"00 08 09 01 00 00 00 00\",\n"
        "  \"headerModel\": \"LM-Q20\",\n"
        "  \"expectedSize\": 163856,\n"
        "  \"records\": [\n"
        "    {\"offset\": 8, \"present\": true, \"address\": 268468224, \"length\": "
        "163840, \"expectedAddress\": 268468224, \"expectedLength\": 163840}\n"
        "  ],\n"
        "  \"sends\": [\n"
        "    {\"model\": \"LM-Q30\", \"accepted\": false, \"frames\": 0, \"sourceLayout\": "
        "1, \"reason\": \"wrong size: 36 bytes, expected 98324\"},\n"
        "    {\"model\": \"LM-Q20\", \"accepted\": false, \"frames\": 0, \"sourceLayout\": "
        "null, \"reason\": \"wrong size: 36 bytes, expected 163856\"},\n"
        "    {\"model\": \"LM-Q10\", \"accepted\": false, \"frames\": 0, \"sourceLayout\": "
        "null, \"reason\": \"an LM-Q20 backup does not go into an LM-Q10\"}\n"
        "  ]\n}\n");
    EXPECT_EQ(run.out, expected);
}

struct InspectCase {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> lines;  // each must appear in the output
};

using InspectLines = CliTestP<InspectCase>;

TEST_P(InspectLines, ShowWhatTheFileHoldsAndWhoTakesIt) {
    Write("b.vid", GetParam().bytes);
    const std::string text = Run({"inspect", "b.vid"}).out;
    for (const std::string& line : GetParam().lines) {
        EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\n" << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, InspectLines,
    ::testing::Values(
        InspectCase{"MultiRegionFileHasSevenRecords",
                    MultiRegionFile(),
                    {"size:    186432 bytes, as expected\n", "(LM-Q30)\n",
                     "  1  at      8  address 0x10e60000  length 0x5000  (20480)  ok\n",
                     "  5  at 161832  address 0x10f60000  length 0x2000  (8192)  ok\n",
                     "  7  at 178232  address 0x10fa0000  length 0x2000  (8192)  ok\n",
                     "  LM-Q30  accepted: source layout 0 (LM-Q30 file), 3173 frames\n",
                     "  LM-Q20  refused: the file test does not accept the file\n"}},
        InspectCase{"ShortMultiRegionFileFailsThePlan",
                    Truncated(MultiRegionFile(), 17),
                    {"size:    17 bytes, expected 186432 (186415 short)\n",
                     "  2  at  20496  missing: the file ends before it\n",
                     "  LM-Q30  refused: the file ends before its region plan (186432 bytes "
                     "needed)\n"}},
        InspectCase{"ZeroHeaderOnlySingleRegion",
                    SingleRegionFile(std::vector<uint8_t>(8, 0), 0x10008000, 600, 600),
                    {"header:  00 00 00 00 00 00 00 00 (all zero: no model)\n",
                     "size:    616 bytes, as expected\n",
                     "  LM-Q30  refused: the file test does not accept the file\n",
                     "  LM-Q20  accepted: region 0x10008000, 600 bytes, 19 frames\n",
                     "  LM-Q10  accepted: region 0x10008000, 600 bytes, 19 frames\n"}},
        InspectCase{"TooShortForAHeader",
                    {1, 2, 3},
                    {"size:    3 bytes\n", "header:  missing: the file is shorter than 8 bytes\n",
                     "  LM-Q30  refused", "  LM-Q20  refused", "  LM-Q10  refused"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
