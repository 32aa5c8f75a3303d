// End-to-end runs of the real velloran-cli program against the simulated printer, with
// the real clock: every exchange pauses 10 ms, so a full transfer takes tens of seconds.

#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/backup_file.h"
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

}  // namespace
}  // namespace velloran::testing
