#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "jobs/outcome.h"
#include "tests/cli/cli_harness.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

std::string Text(uint32_t id, FailureDetail detail = kNoDetail) {
    return OutcomeText(Outcome::Failed(id, detail)) + "\n";
}
const std::string kDone = "データの転送が正常に終了しました。\n";

TEST(Cli, ListsTheModelsAndPrintsHelpOnStandardOutput) {
    FakeDriver driver;
    FakeClock clock;
    const auto models = RunCliWith({"models"}, driver, clock);
    EXPECT_EQ(models.exitStatus, 0);
    EXPECT_EQ(models.out, "LM-Q30\nLM-Q20\nLM-Q10\n");
    EXPECT_EQ(models.err, "");
    const auto help = RunCliWith({"receive", "--help"}, driver, clock);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("receive MODEL [FILE] [--force]"), std::string::npos);
}

TEST(Version, IsTheProjectVersionOnStandardOutput) {
    FakeDriver driver;
    FakeClock clock;
    const auto run = RunCliWith({"--version"}, driver, clock);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "velloran-cli 1.2.0\n");
    EXPECT_EQ(run.err, "");
}

// How a transfer ends decides the stream of its text and the exit status.
struct OutcomeCase {
    const char* name;
    const char* model;
    int32_t fileModel;  // the backup sent; -1 a receive
    bool driverMissing;
    bool (*refuse)(const std::vector<uint8_t>&);
    int exitStatus;
    std::string out;
    std::string err;
    const char* library;
};

bool IsOpenFrame(const std::vector<uint8_t>& frame) {
    return frame.size() == 16;
}
bool IsSetupFrame(const std::vector<uint8_t>& frame) {
    return frame.size() == 13 && frame[1] == 0xEB && frame[2] == 0x09;
}

class TransferOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(TransferOutcome, PrintsTheOutcomeTextOnTheRightStream) {
    const OutcomeCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.File("b.vid");
    if (c.fileModel >= 0) {
        WriteBytes(file, SingleRegionFile(HeaderOf(c.fileModel), 0x10008000, 600, 600));
    }
    FakeDriver driver;
    FakeClock clock;
    driver.loadFails = c.driverMissing;
    FakePrinter printer(driver);
    if (c.refuse != nullptr) {
        printer.refuse = [&c](uint32_t, const std::vector<uint8_t>& frame) {
            return c.refuse(frame);
        };
    }
    const auto run =
        RunCliWith({c.fileModel >= 0 ? "send" : "receive", c.model, file}, driver, clock);
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(driver.loadedNames, std::vector<std::string>{c.library});
    if (c.exitStatus != 0 && c.fileModel < 0) {
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ends, TransferOutcome,
    ::testing::Values(
        OutcomeCase{"ReceiveWithoutDriver", "LM-Q20", -1, true, nullptr, 1, "", Text(118),
                    "Hdv305.dll"},
        OutcomeCase{"SendWithoutDriver", "LM-Q20", kQ20, true, nullptr, 1, "", Text(117),
                    "Hdv305.dll"},
        OutcomeCase{"ReceiveOpenRefused", "LM-Q20", -1, false, &IsOpenFrame, 1, "", Text(118),
                    "Hdv305.dll"},
        OutcomeCase{"SendSetupRefused", "LM-Q20", kQ20, false, &IsSetupFrame, 1, "",
                    Text(119, 0x000900EB), "Hdv305.dll"},
        OutcomeCase{"SendComplete", "LM-Q20", kQ20, false, nullptr, 0, kDone, "", "Hdv305.dll"},
        OutcomeCase{"ReceiveComplete", "lm-q10", -1, false, nullptr, 0, kDone, "", "Hdv201.dll"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Receive, RefusesToReplaceAFileWithoutForceAndWritesTheDatedNameByDefault) {
    TempDir dir;
    const std::string file = dir.File("keep.vid");
    WriteBytes(file, {7, 7, 7});
    FakeDriver driver;
    FakeClock clock;
    FakePrinter printer(driver);
    const auto refused = RunCliWith({"receive", "LM-Q20", file}, driver, clock);
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_NE(refused.err.find("--force"), std::string::npos);
    EXPECT_EQ(ReadBytes(file), std::vector<uint8_t>({7, 7, 7}));
    EXPECT_TRUE(driver.loadedNames.empty());
    const auto forced = RunCliWith({"receive", "LM-Q20", file, "--force"}, driver, clock);
    EXPECT_EQ(forced.exitStatus, 0);
    EXPECT_EQ(ReadBytes(file).size(), 163856u);

    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const auto dated = RunCliWith({"receive", "LM-Q10"}, driver, clock);
    std::filesystem::current_path(before);
    EXPECT_EQ(dated.exitStatus, 0);
    EXPECT_EQ(ReadBytes(dir.File("lmq10_140307.vid")).size(), 163856u);
    EXPECT_EQ(driver.loadedNames, (std::vector<std::string>{"Hdv305.dll", "Hdv201.dll"}));
}

// A send of a file the model does not take is refused before the first frame.
TEST(Send, RefusedFileSendsNoFrame) {
    TempDir dir;
    const std::string file = dir.File("b.vid");
    WriteBytes(file, SingleRegionFile(HeaderOf(0), 0x10008000, 600, 600));
    FakeDriver driver;
    FakeClock clock;
    FakePrinter printer(driver);
    const auto run = RunCliWith({"send", "LM-Q10", file}, driver, clock);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "velloran-cli: " + file + ": an LM-Q30 backup does not go into an LM-Q10\n" +
                           Text(117));
    EXPECT_TRUE(driver.writes.empty());
}

TEST(ProgressBar, DrawnOnlyWhenStandardErrorIsATerminal) {
    TempDir dir;
    const std::string file = dir.File("b.vid");
    WriteBytes(file, SingleRegionFile(HeaderOf(kQ20), 0x10008000, 600, 600));
    FakeDriver driver;
    FakeClock clock;
    FakePrinter printer(driver);
    EXPECT_EQ(RunCliWith({"send", "LM-Q20", file}, driver, clock, false).err, "");
    const auto terminal = RunCliWith({"send", "LM-Q20", file}, driver, clock, true);
    EXPECT_EQ(terminal.out, kDone);
    EXPECT_EQ(terminal.err.front(), '\r');
    EXPECT_NE(terminal.err.find("100%  "), std::string::npos) << terminal.err;
    EXPECT_NE(terminal.err.find("B/s"), std::string::npos) << terminal.err;
    EXPECT_EQ(terminal.err.back(), '\n');
}

// The last line of each job's bar shows the bytes of memory moved over the whole run, each
// exchange taking one 10 ms poll on the fake clock: an LM-Q30 receive moves 186368 bytes
// in 2920 exchanges, an LM-Q20 one 163840 in 2562, an LM-Q10 one 163840 in 20482; the
// sends move the same bytes in 3173, 2740 and 2740.
struct SpeedCase {
    const char* model;
    const char* receiveSpeed;
    const char* sendSpeed;
};

class JobSpeed : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(JobSpeed, IsTrueBytesPerSecond) {
    TempDir dir;
    const std::string file = dir.File("b.vid");
    FakeDriver driver;
    FakeClock clock;
    FakePrinter printer(driver);
    const std::string model = GetParam().model;
    for (const auto& [command, speed] :
         {std::pair{"receive", GetParam().receiveSpeed}, std::pair{"send", GetParam().sendSpeed}}) {
        const auto run = RunCliWith({command, model, file}, driver, clock, true);
        ASSERT_EQ(run.exitStatus, 0) << command << run.err;
        const std::string last = run.err.substr(run.err.rfind('\r'));
        EXPECT_NE(last.find(std::string("%  ") + speed + "  "), std::string::npos)
            << command << " " << last;
    }
}

INSTANTIATE_TEST_SUITE_P(Models, JobSpeed,
                         ::testing::Values(SpeedCase{"LM-Q30", "6.2 KiB/s", "5.7 KiB/s"},
                                           SpeedCase{"LM-Q20", "6.2 KiB/s", "5.8 KiB/s"},
                                           SpeedCase{"LM-Q10", "800 B/s", "5.8 KiB/s"}));

}  // namespace
}  // namespace velloran::testing
