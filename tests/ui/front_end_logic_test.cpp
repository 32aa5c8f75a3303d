// The toolkit-neutral pieces of the desktop program: one instance at a time, the Help
// button's search for the help file, the progress control's arithmetic, and the transfer
// window acting only on its own transfer.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/job_fixture.h"
#include "ui/backup_app.h"
#include "ui/help_launcher.h"
#include "ui/progress_model.h"
#include "ui/transfer_dlg.h"

namespace velloran::testing {
namespace {

// The instance token, held elsewhere or not, and the main window it guards.
struct FakeInstance final : InstanceLock, MainWindowRunner {
    bool TryAcquire(const std::string& name) override {
        names.push_back(name);
        return !heldElsewhere;
    }
    void Release() override { ++releases; }
    void RunMainWindow() override { ++runs; }

    bool heldElsewhere = false;
    std::vector<std::string> names;
    int releases = 0;
    int runs = 0;
};

// The token is named after the program file; only its first holder runs the window and
// gives the token back, once.
TEST(BackupAppTest, OnlyTheFirstInstanceRunsTheWindowAndGivesTheTokenBackOnce) {
    for (const bool second : {false, true}) {
        FakeInstance lock;
        lock.heldElsewhere = second;
        CBackupApp app(lock, lock, "C:\\Tools\\VELLORAN.exe");
        EXPECT_EQ(app.InitInstance(), 0);
        EXPECT_EQ(app.HoldsInstance(), !second);
        EXPECT_EQ(app.ExitInstance(), 0);
        EXPECT_EQ(app.ExitInstance(), 0);  // a second call gives nothing back again
        EXPECT_EQ(std::tuple(lock.names, lock.runs, lock.releases),
                  std::tuple(std::vector<std::string>{"VELLORAN"}, second ? 0 : 1, second ? 0 : 1));
    }
    EXPECT_EQ(ExecutableBaseName("/opt/v1.2/velloran"), "velloran");
    EXPECT_EQ(ExecutableBaseName("/opt/app.tar.gz"), "app.tar");
    EXPECT_EQ(ExecutableBaseName("/home/u/.hidden"), ".hidden");
}

using Box = std::tuple<std::string, std::string, uint32_t>;

// A help viewer that opens one path ("*" every path) and the window its boxes go to.
struct Recorder final : HelpViewer, MessageBoxView {
    bool DisplayContents(const std::string& helpPath) override {
        opened.push_back(helpPath);
        return openable == "*" || helpPath == openable;
    }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        boxes.emplace_back(text, caption, style);
        return 1;
    }
    std::string openable;
    std::vector<std::string> opened;
    std::vector<Box> boxes;
};

// The help beside the program comes first, then the installed help folder; a press that
// opens neither says the help is missing.
struct LaunchCase {
    const char* name;
    std::string programPath;
    std::string installedFolder;
    std::string openable;
    std::vector<std::string> tries;  // at each press, in order
    bool missing;
};

class HelpLauncherTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(HelpLauncherTest, EveryPressTriesThePlacesInOrder) {
    const LaunchCase& c = GetParam();
    Recorder r;
    r.openable = c.openable;
    HelpLauncher launcher(
        r, [&c] { return c.programPath; }, c.installedFolder);
    launcher.OnHelpButton(r);
    launcher.OnHelpButton(r);
    std::vector<std::string> twice = c.tries;
    twice.insert(twice.end(), c.tries.begin(), c.tries.end());
    EXPECT_EQ(r.opened, twice);
    EXPECT_EQ(r.boxes, std::vector<Box>(c.missing ? 2 : 0,
                                        Box{"ヘルプが見つかりません。", "VELLORAN", 0x30}));
}

const std::string kShare = "../share/velloran";
const std::string kBeside = "/usr/bin/VLR120.chm";
const std::string kInstalled = "/usr/bin/../share/velloran/VLR120.chm";
// A folder far longer than the 260 bytes a fixed buffer would hold.
const std::string kLongFolder = std::string("/home/").append(400, 'd');

INSTANTIATE_TEST_SUITE_P(
    Places, HelpLauncherTest,
    ::testing::Values(
        LaunchCase{"Beside", "/usr/bin/velloran", kShare, "*", {kBeside}, false},
        LaunchCase{
            "Installed", "/usr/bin/velloran", kShare, kInstalled, {kBeside, kInstalled}, false},
        LaunchCase{"Nowhere", "/usr/bin/velloran", kShare, "", {kBeside, kInstalled}, true},
        LaunchCase{"NoInstalledFolder", "/usr/bin/velloran", "", "", {kBeside}, true},
        LaunchCase{"UnknownProgramPath", "", kShare, "*", {}, false},
        LaunchCase{"Root", "/velloran", "", "*", {"/VLR120.chm"}, false},
        LaunchCase{"LongerThanAFixedBuffer",
                   kLongFolder + "/velloran",
                   "",
                   "*",
                   {kLongFolder + "/VLR120.chm"},
                   false},
        // In Shift-JIS the second byte of ソ and 表 is the backslash's code; in UTF-8 no
        // byte of them is a separator.
        LaunchCase{
            "DoubleByteFolder", "/home/ソ表/velloran", "", "*", {"/home/ソ表/VLR120.chm"}, false},
        // Without a folder the path is tried as it is, and fails.
        LaunchCase{"NoFolder", "velloran", "", "", {"velloran"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The progress control: range, step of 1, clamped position, the wrap of a step past the
// top, and a narrower range clamping the position.
TEST(ProgressModelTest, EndsAtTheExpectedPosition) {
    const struct {
        uint32_t upper;
        uint32_t position;  // set after the range
        int steps;          // after the position
        std::optional<uint32_t> narrowedTo;
        uint32_t expected;
    } cases[] = {{10, 0, 10, std::nullopt, 10},
                 {10, 0, 11, std::nullopt, 1},
                 {10, 25, 0, std::nullopt, 10},
                 {50, 40, 0, 20, 20},
                 {0, 0, 3, std::nullopt, 0}};
    for (const auto& c : cases) {
        ProgressModel model;
        model.SetRange(c.upper);
        model.SetStep(1);
        model.SetPosition(c.position);
        for (int i = 0; i < c.steps; ++i) {
            model.Step();
        }
        if (c.narrowedTo) {
            model.SetRange(*c.narrowedTo);
        }
        EXPECT_EQ(model.Position(), c.expected) << c.upper << " " << c.steps;
    }
}

// Keeps the job to run when the test says, so that the transfer is running meanwhile.
struct HeldStarter final : WorkerStarter {
    std::optional<std::thread> Start(std::function<void()> body) override {
        ++starts;
        job = std::move(body);
        return std::thread();
    }
    int starts = 0;
    std::function<void()> job;
};

// A transfer window on the test's thread, keeping the texts of its boxes; while a box is
// up, `duringBox` runs.
struct FakeTransferView final : TransferView, UiThread, ProgressSink {
    void SetCaption(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    ProgressSink& ProgressBar() override { return *this; }
    UiThread& Thread() override { return *this; }
    void EndModal() override { ++endings; }
    int ShowMessageBox(const std::string& text, const std::string&, uint32_t) override {
        boxes.push_back(text);
        duringBox();
        return 1;
    }
    void Send(const std::function<void()>& call) override { call(); }
    void SetRange(uint32_t) override {}
    void SetStep(uint32_t) override {}
    void SetPosition(uint32_t) override {}
    void Step() override {}

    std::function<void()> duringBox;
    std::vector<std::string> boxes;
    int endings = 0;
};

// Any program can send the window's messages: a start or an outcome the transfer did not
// report starts no second job and ends nothing, before the outcome or while its box is up.
// The transfer's own outcome, the busy printer's included, shows one box and ends once.
TEST(TransferDlgTest, ActsOnlyOnItsOwnStartAndItsOneOutcome) {
    const std::string kBusy =
        "プリンターは他の転送で使用中です。しばらくしてからもう一度やり直してください。";
    for (const bool printerHeld : {false, true}) {
        JobRig r;
        PrinterLock otherTransfer;
        if (printerHeld) {
            ASSERT_EQ(otherTransfer.TryAcquire("Hdv305.dll", 0), PrinterLockState::kHeld);
        }
        HeldStarter starter;
        CTransferDlg dlg({&r.driver, &r.clock, &starter});
        dlg.context.modelIndex = kQ20;
        dlg.context.filePath = r.dir.File("q20.vid");
        FakeTransferView view;
        view.duringBox = [&] {
            dlg.OnBkupStart();
            dlg.OnBkupSuccess();
            dlg.OnBkupError(119, 0x500EB);
        };
        dlg.OnInitDialog(view);
        if (!printerHeld) {
            view.duringBox();
            EXPECT_TRUE(view.boxes.empty() && view.endings == 0 && r.driver.endedHandles.empty());
            starter.job();
        }
        EXPECT_EQ(view.boxes,
                  std::vector{printerHeld ? kBusy : "データの転送が正常に終了しました。"});
        EXPECT_EQ(std::tie(view.endings, starter.starts), std::tuple(1, printerHeld ? 0 : 1));
        EXPECT_EQ(r.driver.frees, 1);
        EXPECT_EQ(std::filesystem::exists(r.dir.File("q20.vid")), !printerHeld);
    }
}

}  // namespace
}  // namespace velloran::testing
