// End-to-end runs of the real velloran-cli program against the simulated printer, with
// the real clock: every exchange pauses 10 ms, so a full transfer takes tens of seconds.
// One run per direction proves the program, its library search and the simulated printer
// together; the command's texts and refusals are pinned in-process over the fake driver.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#if !defined(_WIN32)
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

#include "tests/cli/program_run.h"
#include "tests/support/backup_builder.h"
#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

#if !defined(_WIN32)
extern char** environ;
#endif

namespace velloran::testing {
namespace {

const std::string kDone = "データの転送が正常に終了しました。\n";

class CliProgram : public ::testing::Test {
  protected:
    // Runs the program in the work folder against a printer whose memory lives in a
    // state folder of this test alone, logging every exchange.
    ProgramResult Run(const std::vector<std::string>& args) {
        std::map<std::string, std::string> environment = Environment("exchanges.log");
        return RunProgram(VELLORAN_CLI_PROGRAM, args, environment, work.Path(), scratch.Path());
    }
    // The program's environment, its exchanges logged to `log` in the scratch folder.
    std::map<std::string, std::string> Environment(const std::string& log) const {
        std::map<std::string, std::string> environment = extraEnvironment;
        environment.insert({{kLibrarySearchVariable, VELLORAN_SIM_DRIVER_DIR},
                            {"VELLORAN_SIM_STATE_DIR", state.Path().string()},
                            {"VELLORAN_SIM_LOG", scratch.File(log)}});
        return environment;
    }
    // Lines the simulated printer logged to `log`: one an exchange.
    size_t Exchanges(const std::string& log) const {
        const std::string path = scratch.File(log);
        if (!std::filesystem::exists(path)) {
            return 0;
        }
        const std::vector<uint8_t> bytes = ReadBytes(path);
        return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    }

    TempDir work;
    TempDir state;
    TempDir scratch;
    std::map<std::string, std::string> extraEnvironment;
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

#if !defined(_WIN32)
// The program in the background, with this process's environment and `environment`,
// output discarded.
pid_t StartProgram(const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& environment,
                   const std::filesystem::path& workDir) {
    for (const auto& [name, value] : environment) {
        SetEnvVar(name.c_str(), value);
    }
    std::string command = "cd '";
    command.append(workDir.string()).append("' && exec '" VELLORAN_CLI_PROGRAM "'");
    for (const std::string& arg : args) {
        command.append(" '").append(arg).append("'");
    }
    command.append(" </dev/null >/dev/null 2>&1");
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
    return pid;
}

// Two processes, one printer: while a receive holds the printer at 0, a second transfer
// there is refused within a second, sends nothing and writes no file, and does not move
// on to the free printer at 5; `devices` lists 0 as in use. The printer at 5 and the other
// driver library's printer run complete transfers beside it. Once the holder is killed,
// the printer at 0 takes the next transfer at once.
TEST_F(CliProgram, OneTransferAPrinterOthersBesideItAndNoneAfterAKill) {
    TempDir runtime;  // this case's own locks
    std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all);
    extraEnvironment = {{"XDG_RUNTIME_DIR", runtime.Path().string()},
                        {"VELLORAN_SIM_DEVICES", "0,5"}};
    WriteBytes(work.File("q20.vid"), SingleRegionFile(HeaderOf(kQ20), 0x10008000, 600, 600));
    WriteBytes(work.File("q10.vid"), SingleRegionFile(HeaderOf(kQ10), 0x10008000, 600, 600));
    const auto devices = [this] { return Run({"devices", "LM-Q20"}).out; };
    const pid_t holder =
        StartProgram({"receive", "LM-Q20", "held.vid"}, Environment("holder.log"), work.Path());
    ASSERT_GT(holder, 0);
    for (int i = 0; i < 200 && devices() != "0 (in use)\n5\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(devices(), "0 (in use)\n5\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"receive", "LM-Q20", "b.vid"},
          {"send", "LM-Q30", "q20.vid", "--device", "0"}}) {
        const auto start = std::chrono::steady_clock::now();
        const ProgramResult busy = Run(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(std::tie(busy.exitStatus, busy.out, busy.err),
                  std::tuple(1, "",
                             "プリンターは他の転送で使用中です。しばらくしてからもう一度やり直して"
                             "ください。\n"));
        EXPECT_EQ(Exchanges("exchanges.log"), 0u) << args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(work.File("b.vid")) ||
                 std::filesystem::exists(work.File("b.vid.velloran-partial")));

    EXPECT_EQ(Run({"send", "LM-Q20", "q20.vid", "--device", "5"}).out, kDone);
    EXPECT_EQ(Run({"send", "LM-Q10", "q10.vid"}).out, kDone);
    EXPECT_EQ(Exchanges("exchanges.log"), 2 * 19u);
    EXPECT_EQ(waitpid(holder, nullptr, WNOHANG), 0) << "the holder ran all along";
    EXPECT_GT(Exchanges("holder.log"), 0u);

    kill(holder, SIGKILL);
    ASSERT_EQ(waitpid(holder, nullptr, 0), holder);
    EXPECT_EQ(devices(), "0\n5\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"send", "LM-Q20", "q20.vid"}).out, kDone);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
#endif

}  // namespace
}  // namespace velloran::testing
