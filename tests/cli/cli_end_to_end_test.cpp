// End-to-end runs of the real velloran-cli program against the simulated printer, with
// the real clock: every exchange pauses 10 ms, so a full transfer takes tens of seconds.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "catalogue/backup_file.h"
#include "catalogue/backup_layout.h"
#include "jobs/outcome.h"
#include "platform/local_date.h"
#include "tests/cli/program_run.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kImage = 0x28000;
constexpr uint32_t kImageAddress = 0x10008000;
constexpr size_t kSingleRegionFileSize = 163856;
constexpr size_t kLayout1SendFrames = 1248;

std::string Failure(uint32_t id, FailureDetail detail) {
    return OutcomeText(Outcome::Failed(id, detail)) + "\n";
}
const std::string kDone = OutcomeText(Outcome::Succeeded()) + "\n";

size_t LineCount(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

class CliProgram : public ::testing::Test {
  protected:
    // Runs the program in the work folder against a printer whose memory lives in a
    // state folder of this test alone, logging every exchange.
    ProgramResult Run(const std::vector<std::string>& args,
                      std::map<std::string, std::string> extra = {}) {
        std::map<std::string, std::string> environment{
            {kLibrarySearchVariable, VELLORAN_SIM_DRIVER_DIR},
            {"VELLORAN_SIM_STATE_DIR", state.Path().string()},
            {"VELLORAN_SIM_LOG", LogPath()},
        };
        for (auto& [name, value] : extra) {
            environment[name] = value;
        }
        return RunProgram(VELLORAN_CLI_PROGRAM, args, environment, work.Path(), scratch.Path());
    }
    std::string LogPath() const { return scratch.File("exchanges.log"); }
    std::string Log() const {
        const std::vector<uint8_t> bytes = ReadBytes(LogPath());
        return {bytes.begin(), bytes.end()};
    }
    bool NoExchange() const { return !std::filesystem::exists(LogPath()) || Log().empty(); }

    TempDir work;
    TempDir state;
    TempDir scratch;
};

class CliUsageErrors : public CliProgram,
                       public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(CliUsageErrors, ExitTwoWithNothingSentOrWritten) {
    const ProgramResult run = Run(GetParam());
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
    EXPECT_TRUE(std::filesystem::is_empty(work.Path()));
    EXPECT_TRUE(NoExchange());
}

INSTANTIATE_TEST_SUITE_P(Lines, CliUsageErrors,
                         ::testing::Values(std::vector<std::string>{"receive", "LM-Q99"},
                                           std::vector<std::string>{"send", "LM-Q20", "a.vid",
                                                                    "--force"}));

// With --force the receive goes ahead; a printer that refuses the region's address frame
// ends it early. The backup grows beside the chosen path, so the earlier file survives and
// nothing partial is left.
TEST_F(CliProgram, ForcedReceiveThatFailsKeepsTheEarlierFile) {
    WriteBytes(work.File("old.vid"), {1, 2, 3});
    const ProgramResult run =
        Run({"receive", "LM-Q20", "old.vid", "--force"}, {{"VELLORAN_SIM_REFUSE_KIND", "target"}});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, Failure(120, 0xEC));
    EXPECT_EQ(ReadBytes(work.File("old.vid")), std::vector<uint8_t>({1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(CliProgram, SendRefusedAtTheSetupFrame) {
    WriteBytes(work.File("b.vid"), SingleRegionFile(HeaderOf(1), kImageAddress, kImage, kImage));
    const ProgramResult run =
        Run({"send", "lm-q20", "b.vid"}, {{"VELLORAN_SIM_REFUSE_KIND", "setup"}});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, Failure(119, 0x000900EB));
    EXPECT_TRUE(run.err.ends_with(" (0xeb 0x09)\n"));
    EXPECT_EQ(LineCount(Log()), 4u);  // open, address, control 00, then the refused setup
}

TEST_F(CliProgram, ReceivesTheWholeImageUnderTheDefaultName) {
    const ProgramResult run = Run({"receive", "LM-Q20"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, kDone);
    EXPECT_EQ(run.err, "");
    const std::vector<uint8_t> file = ReadBytes(work.File(DefaultFileName("lmq20", TodayLocal())));
    ASSERT_EQ(file.size(), kSingleRegionFileSize);
    const std::vector<uint8_t> head(file.begin(), file.begin() + 16);
    EXPECT_EQ(head, SingleRegionFile(HeaderOf(1), kImageAddress, kImage, 0));
}

// An LM-Q20 backup goes into an LM-Q30 as two regions, each by a full write sequence.
TEST_F(CliProgram, SendsAnOlderModelsBackupToTheNewestModel) {
    WriteBytes(work.File("b.vid"), SingleRegionFile(HeaderOf(1), kImageAddress, kImage, kImage));
    const ProgramResult run = Run({"send", "LM-Q30", "b.vid"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, kDone);
    EXPECT_EQ(run.err, "");
    const std::string log = Log();
    EXPECT_EQ(LineCount(log), kLayout1SendFrames);
    EXPECT_TRUE(log.ends_with("02 EB 07\n")) << log.substr(log.size() - 40);
}

// An LM-Q30 backup of patterned bytes, unlike anything the printer holds at first.
std::vector<uint8_t> MultiRegionFile() {
    std::vector<uint8_t> file = HeaderOf(0);
    for (const MemoryRegion& region : kMultiRegionTable) {
        testing::AppendLe32(file, region.address);
        testing::AppendLe32(file, region.length);
        for (uint32_t i = 0; i < region.length; ++i) {
            file.push_back(testing::PatternByte(i, region.address >> 16));
        }
    }
    return file;
}

std::vector<uint8_t> BackupOf(int32_t model) {
    return model == 0 ? MultiRegionFile()
                      : SingleRegionFile(HeaderOf(model), kImageAddress, kImage, kImage, 5);
}

// The address and length columns of the range lines of a comparison.
std::vector<std::string> RangeHeads(const std::string& text) {
    std::vector<std::string> heads;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  0x")) {
            heads.push_back(line.substr(0, line.find("  ", line.find(" byte"))));
        }
    }
    return heads;
}

struct Pairing {
    const char* name;
    const char* printer;
    int32_t fileModel;
};

class VerifyAfterSend : public CliProgram, public ::testing::WithParamInterface<Pairing> {};

TEST_P(VerifyAfterSend, ReportsIdentical) {
    WriteBytes(work.File("b.vid"), BackupOf(GetParam().fileModel));
    const ProgramResult run = Run({"send", GetParam().printer, "b.vid", "--verify"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, kDone + "identical\n");
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    EveryAcceptedPairing, VerifyAfterSend,
    ::testing::Values(Pairing{"Q30FromQ30", "LM-Q30", 0}, Pairing{"Q30FromQ20", "LM-Q30", 1},
                      Pairing{"Q30FromQ10", "LM-Q30", 2}, Pairing{"Q20FromQ20", "LM-Q20", 1},
                      Pairing{"Q20FromQ10", "LM-Q20", 2}, Pairing{"Q10FromQ10", "LM-Q10", 2}),
    [](const auto& info) { return std::string(info.param.name); });

// Bytes changed in a real received image: the first, a run of three, the last.
TEST_F(CliProgram, DiffAndVerifyFindEveryChangedByte) {
    ASSERT_EQ(Run({"receive", "LM-Q20", "a.vid"}).exitStatus, 0);
    std::vector<uint8_t> changed = ReadBytes(work.File("a.vid"));
    for (size_t offset : {16, 1000, 1001, 1002, 163855}) {
        changed[offset] ^= 0x5A;
    }
    WriteBytes(work.File("b.vid"), changed);
    const std::vector<std::string> heads{"  0x10008000  1 byte", "  0x100083d8  3 bytes",
                                         "  0x1002ffff  1 byte"};
    const ProgramResult diff = Run({"diff", "a.vid", "b.vid"});
    EXPECT_EQ(diff.exitStatus, 3);
    EXPECT_TRUE(diff.out.starts_with("differs: 3 ranges, 5 bytes of 163840 compared\n"))
        << diff.out;
    EXPECT_EQ(RangeHeads(diff.out), heads) << diff.out;
    const ProgramResult verify = Run({"verify", "LM-Q20", "b.vid"});
    EXPECT_EQ(verify.exitStatus, 3) << verify.err;
    EXPECT_EQ(RangeHeads(verify.out), heads) << verify.out;
    EXPECT_EQ(Run({"verify", "LM-Q20", "a.vid"}).out, "identical\n");
}

// An LM-Q20 backup sent into an LM-Q30 changes its two regions and nothing else.
TEST_F(CliProgram, CrossModelSendWritesOnlyItsTwoRegions) {
    ASSERT_EQ(Run({"receive", "LM-Q30", "before.vid"}).exitStatus, 0);
    std::vector<uint8_t> older = BackupOf(1);
    WriteBytes(work.File("q20.vid"), older);
    ASSERT_EQ(Run({"send", "LM-Q30", "q20.vid"}).exitStatus, 0);
    ASSERT_EQ(Run({"receive", "LM-Q30", "after.vid"}).exitStatus, 0);
    EXPECT_EQ(Run({"diff", "q20.vid", "after.vid"}).out, "identical\n");
    const ProgramResult changes = Run({"diff", "before.vid", "after.vid"});
    EXPECT_EQ(changes.exitStatus, 3);
    for (const std::string& head : RangeHeads(changes.out)) {
        const uint32_t address = static_cast<uint32_t>(std::stoul(head.substr(2, 10), nullptr, 16));
        EXPECT_TRUE((address >= 0x10F60000 && address < 0x10F62000) ||
                    (address >= 0x10EE0000 && address < 0x10EF0000))
            << head;
    }
    older[100] ^= 0xFF;  // not part of what the send writes
    older[0x2014] ^= 0xFF;
    WriteBytes(work.File("q20.vid"), older);
    EXPECT_EQ(RangeHeads(Run({"diff", "after.vid", "q20.vid"}).out),
              std::vector<std::string>{"  0x10f60000  1 byte"});
}

TEST_F(CliProgram, TraceOfARefusedSendNamesTheFrame) {
    WriteBytes(work.File("b.vid"), BackupOf(1));
    const ProgramResult run = Run({"send", "LM-Q20", "b.vid", "--trace", scratch.File("t.txt")},
                                  {{"VELLORAN_SIM_REFUSE_KIND", "setup"}});
    EXPECT_EQ(run.exitStatus, 1);
    const std::vector<uint8_t> bytes = ReadBytes(scratch.File("t.txt"));
    std::istringstream trace(std::string(bytes.begin(), bytes.end()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(trace, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[3].find("setup     02 eb 09 08 00 00 80 00 10 00 80 02 00  polls "),
              std::string::npos)
        << lines[3];
    EXPECT_TRUE(lines[3].ends_with("reply 15 refused")) << lines[3];
    EXPECT_NE(lines[4].find(" ms  outcome: "), std::string::npos) << lines[4];
}

// Printers at 0, 5 and 127, each with its own memory.
TEST_F(CliProgram, DevicesAndTheChosenIndex) {
    const std::map<std::string, std::string> printers{{"VELLORAN_SIM_DEVICES", "0,5,127"}};
    for (const char* model : {"LM-Q30", "LM-Q10"}) {
        const ProgramResult listed = Run({"devices", model}, printers);
        EXPECT_EQ(listed.exitStatus, 0);
        EXPECT_EQ(listed.out, "0\n5\n127\n");
    }
    EXPECT_TRUE(NoExchange());
    WriteBytes(work.File("q20.vid"), BackupOf(1));
    const ProgramResult sent =
        Run({"send", "LM-Q30", "q20.vid", "--device", "5", "--verify"}, printers);
    EXPECT_EQ(sent.exitStatus, 0) << sent.err;
    EXPECT_EQ(sent.out, kDone + "identical\n");
    EXPECT_EQ(Run({"verify", "LM-Q30", "q20.vid", "--device", "127"}, printers).exitStatus, 3);
    const ProgramResult absent = Run({"verify", "LM-Q30", "q20.vid", "--device", "3"}, printers);
    EXPECT_EQ(absent.exitStatus, 1);
    EXPECT_EQ(absent.err, Failure(118, kNoDetail));
    const ProgramResult none = Run({"devices", "LM-Q20"}, {{"VELLORAN_SIM_ACTIVE_INDEX", "none"}});
    EXPECT_EQ(none.exitStatus, 1);
    EXPECT_EQ(none.err, "velloran-cli: no LM-Q20 printer answers\n");
}

TEST_F(CliProgram, RefusedFilesAreNamedWithTheReason) {
    WriteBytes(work.File("short.vid"), SingleRegionFile(HeaderOf(1), kImageAddress, kImage, 100));
    const ProgramResult send = Run({"send", "LM-Q20", "short.vid"});
    EXPECT_EQ(send.exitStatus, 1);
    EXPECT_EQ(send.err, "velloran-cli: short.vid: wrong size: 116 bytes, expected 163856\n" +
                            Failure(117, kNoDetail));
    const ProgramResult diff = Run({"diff", "short.vid", "gone.vid"});
    EXPECT_EQ(diff.exitStatus, 2);
    EXPECT_EQ(diff.err, "velloran-cli: short.vid: wrong size: 116 bytes, expected 163856\n");
}

// Paths that are no backup file never make the program wait: a send or an inspection is
// refused before any exchange, a forced receive right after the OpenFrame.
TEST_F(CliProgram, SpecialPathsAreRefusedAtOnce) {
    std::vector<std::string> paths{"folder", "NUL"};
    std::filesystem::create_directory(work.Path() / "folder");
#if !defined(_WIN32)
    paths = {"folder", "/dev/zero", "fifo"};
    ASSERT_EQ(mkfifo(work.File("fifo").c_str(), 0644), 0);
#endif
    for (const std::string& path : paths) {
        EXPECT_EQ(Run({"inspect", path}).exitStatus, 2) << path;
        // One line names the path and why, then the outcome text.
        const std::string sent = Run({"send", "LM-Q20", path}).err;
        EXPECT_TRUE(sent.starts_with("velloran-cli: " + path + ": ")) << sent;
        std::string refusal{"\n"};
        refusal += Failure(117, 0);
        EXPECT_TRUE(sent.ends_with(refusal)) << sent;
        EXPECT_TRUE(NoExchange()) << path;
        EXPECT_EQ(Run({"receive", "LM-Q20", path, "--force"}).err, Failure(120, 0)) << path;
        EXPECT_EQ(LineCount(Log()), 1u) << path;  // the OpenFrame alone
        std::filesystem::remove(LogPath());
    }
}

}  // namespace
}  // namespace velloran::testing
