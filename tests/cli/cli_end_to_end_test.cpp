// End-to-end runs of the real velloran-cli program against the simulated printer, with
// the real clock: every exchange pauses 10 ms, so a full transfer takes tens of seconds.
// One send with its verify proves the program, its library search and the simulated
// printer together; the command's texts and refusals are pinned in-process over the fake
// driver.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#if !defined(_WIN32)
#include <signal.h>
#endif

#include "tests/cli/program_run.h"
#include "tests/support/backup_builder.h"
#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

const std::string kDone = "データの転送が正常に終了しました。\n";

class CliProgram : public ::testing::Test {
  protected:
    // Runs the program in the work folder against a printer whose memory lives in a
    // state folder of this test alone, logging every exchange. Printers answer at 0 and 5.
    ProgramResult Run(const std::vector<std::string>& args) {
        return RunProgram(VELLORAN_CLI_PROGRAM, args,
                          {{kLibrarySearchVariable, VELLORAN_SIM_DRIVER_DIR},
                           {"VELLORAN_SIM_STATE_DIR", state.Path().string()},
                           {"VELLORAN_SIM_LOG", scratch.File("exchanges.log")},
                           {"VELLORAN_SIM_DEVICES", "0,5"}},
                          work.Path(), scratch.Path());
    }

    TempDir work;
    TempDir state;
    TempDir scratch;
};

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

#if !defined(_WIN32)
// Two processes, one printer: while a receive holds the printer at 0, a transfer there (of
// either model of its driver library) is refused within a second, with no exchange and no
// file, and does not move on to the free printer at 5, which `devices` shows. The printer
// at 5 and the other library's run beside it. Once the holder is killed, 0 is free at once.
TEST_F(CliProgram, OneTransferAPrinterOthersBesideItAndNoneAfterAKill) {
    TempDir runtime;  // this case's own locks
    SetEnvVar("XDG_RUNTIME_DIR", runtime.Path().string());
    WriteBytes(work.File("q20.vid"), SingleRegionFile(HeaderOf(kQ20), 0x10008000, 600, 600));
    WriteBytes(work.File("q10.vid"), SingleRegionFile(HeaderOf(kQ10), 0x10008000, 600, 600));
    const auto devices = [this] { return Run({"devices", "LM-Q20"}).out; };
    ASSERT_EQ(devices(), "0\n5\n");  // which leaves the printer's variables set for the holder
    std::string holder = "cd '";
    holder.append(work.Path().string())
        .append("' && { VELLORAN_SIM_LOG=held.log '" VELLORAN_CLI_PROGRAM "' receive LM-Q20 ")
        .append("held.vid >/dev/null 2>&1 & echo $! >pid; }");
    ASSERT_EQ(std::system(holder.c_str()), 0);
    for (int i = 0; i < 200 && devices() != "0 (in use)\n5\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(devices(), "0 (in use)\n5\n");
    for (const auto& args : {std::vector<std::string>{"receive", "LM-Q20", "b.vid"},
                             std::vector<std::string>{"send", "LM-Q30", "q20.vid"}}) {
        const auto start = std::chrono::steady_clock::now();
        const ProgramResult busy = Run(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(std::tie(busy.exitStatus, busy.err),
                  std::tuple(1,
                             "プリンターは他の転送で使用中です。しばらくしてからもう一度"
                             "やり直してください。\n"));
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.File("exchanges.log")));
    EXPECT_FALSE(std::filesystem::exists(work.File("b.vid")) ||
                 std::filesystem::exists(work.File("b.vid.velloran-partial")));
    EXPECT_EQ(Run({"send", "LM-Q20", "q20.vid", "--device", "5"}).out, kDone);
    EXPECT_EQ(Run({"send", "LM-Q10", "q10.vid"}).out, kDone);
    EXPECT_EQ(devices(), "0 (in use)\n5\n") << "the holder ran all along";

    const std::vector<uint8_t> pid = ReadBytes(work.File("pid"));
    kill(std::stoi(std::string(pid.begin(), pid.end())), SIGKILL);
    for (int i = 0; i < 100 && devices() != "0\n5\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Run({"send", "LM-Q20", "q20.vid"}).out, kDone);
}
#endif

}  // namespace
}  // namespace velloran::testing
