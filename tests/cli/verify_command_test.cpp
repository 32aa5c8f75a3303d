// verify, send --verify, diff, devices, --device, --trace and the reasons for a refused
// file, over the fake printer and the fake clock.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/comparison_text.h"
#include "cli/refusal_reason.h"
#include "jobs/outcome.h"
#include "tests/cli/cli_harness.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"

namespace velloran::cli {
namespace {

using velloran::testing::FakeClock;
using velloran::testing::FakeDriver;
using velloran::testing::FakePrinter;
using velloran::testing::HeaderOf;
using velloran::testing::ReadBytes;
using velloran::testing::RunCliWith;
using velloran::testing::SingleRegionFile;
using velloran::testing::TempDir;
using velloran::testing::WriteBytes;

constexpr uint32_t kImage = 0x28000;
constexpr uint32_t kAddress = 0x10008000;
const std::string kDone = OutcomeText(Outcome::Succeeded()) + "\n";

std::string Text(uint32_t id, FailureDetail detail = kNoDetail) {
    return OutcomeText(Outcome::Failed(id, detail)) + "\n";
}

// An LM-Q20 backup of what the fake printer holds before anything is written.
std::vector<uint8_t> PrinterImage() {
    std::vector<uint8_t> file = SingleRegionFile(HeaderOf(1), kAddress, kImage, 0);
    for (uint32_t i = 0; i < kImage; ++i) {
        file.push_back(FakePrinter::SeedByte(kAddress + i));
    }
    return file;
}

class VerifyCommand : public ::testing::Test {
  protected:
    velloran::testing::CliRun Run(const std::vector<std::string>& args) {
        return RunCliWith(args, driver, clock);
    }
    std::string Write(const char* name, const std::vector<uint8_t>& bytes) {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    TempDir dir;
    FakeDriver driver;
    FakeClock clock;
    FakePrinter printer{driver};
};

TEST_F(VerifyCommand, ListsTheDifferingRangesWithBothSidesBytes) {
    std::vector<uint8_t> image = PrinterImage();
    image[16] ^= 0xFF;
    image[16 + 5] = 0x00;
    image[16 + 6] = 0x01;
    const auto run = Run({"verify", "LM-Q20", Write("b.vid", image)});
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_EQ(run.out,
              "differs: 2 ranges, 3 bytes of 163840 compared\n"
              "  0x10008000  1 byte  file: 33  printer: cc\n"
              "  0x10008005  2 bytes  file: 00 01  printer: e3 82\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(driver.writes.size(), 2u + kImage / 64);  // open, address, the 64-byte reads
}

TEST_F(VerifyCommand, SendThenVerifyIsIdentical) {
    const std::string file =
        Write("b.vid", SingleRegionFile(HeaderOf(2), kAddress, kImage, kImage));
    const auto run = Run({"send", "LM-Q20", file, "--verify"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, kDone + "identical\n");
}

// verify accepts only what a send accepts: the reason, then the send's refusal.
TEST_F(VerifyCommand, RefusedFileIsNamedAndNothingIsSent) {
    const std::string file = Write("q30.vid", SingleRegionFile(HeaderOf(0), kAddress, 600, 600));
    const auto run = Run({"verify", "LM-Q10", file});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "velloran-cli: " + file + ": an LM-Q30 backup does not go into an LM-Q10\n" +
                           Text(117));
    EXPECT_TRUE(driver.writes.empty());
}

TEST_F(VerifyCommand, DiffOfTwoFilesAndOfARefusedOne) {
    std::vector<uint8_t> changed = PrinterImage();
    changed.back() ^= 0x01;
    const std::string a = Write("a.vid", PrinterImage());
    const std::string b = Write("b.vid", changed);
    const auto differs = Run({"diff", a, b});
    EXPECT_EQ(differs.exitStatus, 3);
    EXPECT_EQ(differs.out,
              "differs: 1 range, 1 byte of 163840 compared\n"
              "  0x1002ffff  1 byte  A: de  B: df\n");
    EXPECT_EQ(Run({"diff", a, a}).out, "identical\n");
    const auto refused = Run({"diff", a, dir.File("gone.vid")});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.err, "velloran-cli: " + dir.File("gone.vid") + ": missing\n");
    EXPECT_TRUE(driver.loadedNames.empty());
}

TEST_F(VerifyCommand, DevicesAndTheChosenIndex) {
    driver.moreActive = {5, 127};
    const auto listed = Run({"devices", "LM-Q20"});
    EXPECT_EQ(listed.exitStatus, 0);
    EXPECT_EQ(listed.out, "0\n5\n127\n");
    EXPECT_TRUE(driver.startIndices.empty());
    const std::string file = Write("b.vid", PrinterImage());
    EXPECT_EQ(Run({"verify", "LM-Q20", file, "--device", "127"}).exitStatus, 0);
    EXPECT_EQ(Run({"verify", "LM-Q20", file, "--device", "6"}).err, Text(118));
    EXPECT_EQ(driver.startIndices, std::vector<int32_t>{127});
    driver.activeIndex = -1;
    driver.moreActive.clear();
    const auto none = Run({"devices", "LM-Q20"});
    EXPECT_EQ(none.exitStatus, 1);
    EXPECT_EQ(none.err, "velloran-cli: no LM-Q20 printer answers\n");
}

TEST_F(VerifyCommand, TraceOfARefusedSendNamesTheFrame) {
    printer.refuse = [](uint32_t, const std::vector<uint8_t>& f) {
        return f.size() == 13 && f[2] == 0x09;
    };
    const std::string file = Write("b.vid", PrinterImage());
    const auto run = Run({"send", "LM-Q20", file, "--trace", dir.File("t.txt")});
    EXPECT_EQ(run.exitStatus, 1);
    const std::vector<uint8_t> bytes = ReadBytes(dir.File("t.txt"));
    const std::string trace(bytes.begin(), bytes.end());
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 5);
    EXPECT_NE(
        trace.find("setup     02 eb 09 08 00 00 80 00 10 00 80 02 00  polls 1  reply 15 refused\n"),
        std::string::npos)
        << trace;
    EXPECT_NE(trace.find(" ms  outcome: "), std::string::npos) << trace;
}

// The trace never overwrites the backup, nor anything but a regular file.
TEST_F(VerifyCommand, TraceRefusesTheBackupAndNonRegularFiles) {
    const std::string file = Write("b.vid", PrinterImage());
    for (const std::string& trace : {file, dir.Path().string()}) {
        const auto run = Run({"verify", "LM-Q20", file, "--trace", trace});
        EXPECT_EQ(run.exitStatus, 2) << trace;
        EXPECT_NE(run.err.find(trace == file ? "backup file itself" : "not a regular file"),
                  std::string::npos)
            << run.err;
    }
    const auto receive = Run({"receive", "LM-Q20", dir.File("new.vid"), "--trace",
                              dir.File("new.vid.velloran-partial")});
    EXPECT_EQ(receive.exitStatus, 2);
    EXPECT_EQ(ReadBytes(file), PrinterImage());
    EXPECT_TRUE(driver.loadedNames.empty());
}

struct ReasonCase {
    const char* name;
    std::vector<uint8_t> bytes;  // empty: no file at all
    int32_t model;
    const char* reason;  // nullptr: accepted
};

class RefusalReasons : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(RefusalReasons, SayWhyInAFewWords) {
    TempDir dir;
    const std::string path = dir.File("f.vid");
    if (!GetParam().bytes.empty()) {
        WriteBytes(path, GetParam().bytes);
    }
    const std::optional<std::string> reason = RefusalReason(path, GetParam().model);
    EXPECT_EQ(reason.value_or("accepted"), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusalReasons,
    ::testing::Values(
        ReasonCase{"Missing", {}, 1, "missing"},
        ReasonCase{"TooShortForAHeader", {0, 8, 9}, 1, "wrong size: 3 bytes, expected at least 17"},
        ReasonCase{"UnknownHeader", SingleRegionFile({1, 2, 3, 4, 5, 6, 0, 0}, kAddress, 4, 4), 1,
                   "unknown header"},
        ReasonCase{"TailNotZeroForTheLmQ30",
                   SingleRegionFile({0, 8, 9, 1, 0, 0, 1, 0}, kAddress, 4, 4), 0, "unknown header"},
        ReasonCase{"OlderModelTakesNoNewerFile", SingleRegionFile(HeaderOf(1), kAddress, 4, 4), 2,
                   "an LM-Q20 backup does not go into an LM-Q10"},
        ReasonCase{"ShortOfItsRecord", SingleRegionFile(HeaderOf(1), kAddress, kImage, 100), 1,
                   "wrong size: 116 bytes, expected 163856"},
        ReasonCase{"ShortOfTheRegionPlan", SingleRegionFile(HeaderOf(1), kAddress, kImage, 100), 0,
                   "wrong size: 116 bytes, expected 98324"},
        ReasonCase{"Accepted", SingleRegionFile(HeaderOf(2), kAddress, 4, 4), 1, "accepted"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RefusalReason, ADirectoryIsUnreadable) {
    TempDir dir;
    EXPECT_EQ(RefusalReason(dir.Path().string(), 0), "unreadable");
}

TEST(ComparisonText, ListsTwentyRangesThenCounts) {
    ImageComparison comparison;
    for (uint32_t i = 0; i < 21; ++i) {
        comparison.ranges.push_back({0x100 + 2 * i, 1, {0xAA}, {0xBB}, false});
    }
    comparison.ranges.push_back({0x200, 9, {1, 2, 3, 4, 5, 6, 7, 8}, {}, true});
    comparison.comparedBytes = 600;
    comparison.differingBytes = 30;
    const std::string text = FormatComparison(comparison, {"file", "printer"});
    EXPECT_TRUE(
        text.starts_with("differs: 22 ranges, 30 bytes of 600 compared\n"
                         "  0x00000100  1 byte  file: aa  printer: bb\n"))
        << text;
    EXPECT_TRUE(
        text.ends_with("  0x00000126  1 byte  file: aa  printer: bb\n"
                       "  and 2 more ranges\n"))
        << text;
    comparison.ranges.erase(comparison.ranges.begin(), comparison.ranges.begin() + 21);
    EXPECT_EQ(FormatComparison(comparison, {"A", "B"}),
              "differs: 1 range, 30 bytes of 600 compared\n"
              "  0x00000200  9 bytes  A: 01 02 03 04 05 06 07 08 ...  B holds none\n");
}

}  // namespace
}  // namespace velloran::cli
