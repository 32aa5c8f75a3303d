// End-to-end runs of the real velloran-cli program against the simulated printer, with
// the real clock: every exchange pauses 10 ms, so a full transfer takes tens of seconds.
// One run per direction proves the program, its library search and the simulated printer
// together; the command's texts and refusals are pinned in-process over the fake driver.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/cli/program_run.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

const std::string kDone = "データの転送が正常に終了しました。\n";

class CliProgram : public ::testing::Test {
  protected:
    // Runs the program in the work folder against a printer whose memory lives in a
    // state folder of this test alone, logging every exchange.
    ProgramResult Run(const std::vector<std::string>& args) {
        return RunProgram(VELLORAN_CLI_PROGRAM, args,
                          {{kLibrarySearchVariable, VELLORAN_SIM_DRIVER_DIR},
                           {"VELLORAN_SIM_STATE_DIR", state.Path().string()},
                           {"VELLORAN_SIM_LOG", scratch.File("exchanges.log")}},
                          work.Path(), scratch.Path());
    }

    TempDir work;
    TempDir state;
    TempDir scratch;
};

// The LM-Q20's image lands under the dated default name: header, record head, data.
TEST_F(CliProgram, ReceivesTheWholeImageUnderTheDefaultName) {
    const ProgramResult run = Run({"receive", "LM-Q20"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, kDone);
    EXPECT_EQ(run.err, "");
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(work.Path())) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    EXPECT_TRUE(name.starts_with("lmq20_") && name.ends_with(".vid") && name.size() == 16) << name;
    const std::vector<uint8_t> file = ReadBytes(files[0].string());
    ASSERT_EQ(file.size(), 163856u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 16),
              (std::vector<uint8_t>{0x00, 0x08, 0x09, 0x01, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x10,
                                    0x00, 0x80, 0x02, 0x00}));
}

// An LM-Q20 backup goes into an LM-Q30 as two regions, 1248 frames ending with the
// finish frame, and reads back identical.
TEST_F(CliProgram, SendsAnOlderModelsBackupToTheNewestModelAndVerifies) {
    WriteBytes(work.File("b.vid"),
               SingleRegionFile(HeaderOf(kQ20), 0x10008000, 0x28000, 0x28000, 5));
    const ProgramResult run = Run({"send", "LM-Q30", "b.vid", "--verify"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, kDone + "identical\n");
    EXPECT_EQ(run.err, "");
    const std::vector<uint8_t> bytes = ReadBytes(scratch.File("exchanges.log"));
    const std::string log(bytes.begin(), bytes.end());
    const size_t finish = log.rfind("02 EB 07\n");  // the last frame of the send
    ASSERT_NE(finish, std::string::npos) << log.substr(0, 200);
    EXPECT_EQ(std::count(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(finish), '\n'),
              1247);
}

}  // namespace
}  // namespace velloran::testing
