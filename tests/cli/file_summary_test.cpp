#include <gtest/gtest.h>

#include "catalogue/backup_layout.h"
#include "cli/file_summary.h"
#include "cli/file_summary_json.h"
#include "cli/file_summary_text.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

using namespace velloran::cli;

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

std::string Inspected(const std::vector<uint8_t>& bytes) {
    TempDir dir;
    const std::string path = dir.File("b.vid");
    WriteBytes(path, bytes);
    const std::optional<InspectReport> report = InspectFile(path);
    return report ? FormatInspectReport(*report) : "<unreadable>";
}

TEST(Inspect, DescribesASingleRegionFileLineByLine) {
    TempDir dir;
    const std::string path = dir.File("lmq20.vid");
    WriteBytes(path, SingleRegionFile(HeaderOf(kQ20), kImageAddress, kImage, kImage));
    const std::optional<InspectReport> report = InspectFile(path);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(FormatInspectReport(*report),
              "file:    " + path +
                  "\n"
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
TEST(Inspect, JsonForScripts) {
    TempDir dir;
#if defined(_WIN32)
    const std::string name = "b.vid";  // no quote or control character in a Windows name
    const std::string escapedName = "b.vid";
#else
    const std::string name = "a\"b\n.vid";
    const std::string escapedName = "a\\\"b\\u000a.vid";
#endif
    const std::string path = dir.File(name);
    WriteBytes(path, SingleRegionFile(HeaderOf(kQ20), kImageAddress, kImage, 20));
    const std::optional<InspectReport> report = InspectFile(path);
    ASSERT_TRUE(report.has_value());
    std::string escaped;  // the folder's backslashes doubled, then the name
    for (const char c : dir.File("")) {
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    escaped += escapedName;
    EXPECT_EQ(
        FormatInspectJson(*report),
        "{\n  \"path\": \"" + escaped +
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
}

struct InspectCase {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> lines;  // each must appear in the output
};

class InspectLines : public ::testing::TestWithParam<InspectCase> {};

TEST_P(InspectLines, ShowWhatTheFileHoldsAndWhoTakesIt) {
    const std::string text = Inspected(GetParam().bytes);
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

TEST(Inspect, CannotReadAMissingFileOrAFolder) {
    TempDir dir;
    EXPECT_FALSE(InspectFile(dir.File("absent.vid")).has_value());
    EXPECT_FALSE(InspectFile(dir.Path().string()).has_value());
}

}  // namespace
}  // namespace velloran::testing
