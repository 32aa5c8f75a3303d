// The toolkit-neutral pieces of the desktop program: one instance at a time, the Help
// button's search for the help file, and the progress control's arithmetic.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ui/backup_app.h"
#include "ui/help_launcher.h"
#include "ui/progress_model.h"

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

}  // namespace
}  // namespace velloran::testing
