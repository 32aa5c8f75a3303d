// The Help button: the help file beside the program or in the installed folder, and the
// box when it cannot be shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/help_launcher.h"

namespace velloran::testing {
namespace {

struct ShownBox {
    std::string text;
    std::string caption;
    uint32_t style;
};

// A folder path far longer than the 260 bytes a fixed buffer would hold.
std::string LongFolder() {
    std::string folder;
    while (folder.size() < 400) {
        folder += "/とても長いフォルダー名";
    }
    return folder;
}

class RecordingViewer final : public HelpViewer {
  public:
    bool DisplayContents(const std::string& helpPath) override {
        opened.push_back(helpPath);
        return openable == "*" || helpPath == openable;
    }
    std::string openable;
    std::vector<std::string> opened;
};

class RecordingOwner final : public MessageBoxView {
  public:
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        boxes.push_back({text, caption, style});
        return 1;
    }
    std::vector<ShownBox> boxes;
};

// The help beside the program comes first, then the installed help folder; a press that
// opens neither says the help is missing.
struct LaunchCase {
    const char* name;
    std::string programPath;
    std::string installedFolder;
    std::string openable;   // the one path the viewer opens; "*" every path
    std::string firstTry;   // "" none
    std::string secondTry;  // "" none
    bool missing;
};

class HelpLauncherTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(HelpLauncherTest, EveryPressTriesThePlacesInOrder) {
    const LaunchCase& c = GetParam();
    RecordingViewer viewer;
    viewer.openable = c.openable;
    RecordingOwner owner;
    HelpLauncher launcher(
        viewer, [&c] { return c.programPath; }, c.installedFolder);
    launcher.OnHelpButton(owner);
    launcher.OnHelpButton(owner);
    std::vector<std::string> tried;
    for (int press = 0; press < 2; ++press) {
        for (const std::string& path : {c.firstTry, c.secondTry}) {
            if (!path.empty()) {
                tried.push_back(path);
            }
        }
    }
    EXPECT_EQ(viewer.opened, tried);
    ASSERT_EQ(owner.boxes.size(), c.missing ? 2u : 0u);
    for (const ShownBox& box : owner.boxes) {
        EXPECT_EQ(box.text, "ヘルプが見つかりません。");
        EXPECT_EQ(box.caption, "VELLORAN");
        EXPECT_EQ(box.style, 0x30u);
    }
}

const std::string kShare = "../share/velloran";
const std::string kBeside = "/usr/bin/VLR120.chm";
const std::string kInstalled = "/usr/bin/../share/velloran/VLR120.chm";

INSTANTIATE_TEST_SUITE_P(
    Places, HelpLauncherTest,
    ::testing::Values(
        LaunchCase{"Beside", "/usr/bin/velloran", kShare, "*", kBeside, "", false},
        LaunchCase{"Installed", "/usr/bin/velloran", kShare, kInstalled, kBeside, kInstalled,
                   false},
        LaunchCase{"Nowhere", "/usr/bin/velloran", kShare, "", kBeside, kInstalled, true},
        LaunchCase{"NoInstalledFolder", "/usr/bin/velloran", "", "", kBeside, "", true},
        LaunchCase{"UnknownProgramPath", "", kShare, "*", "", "", false},
        LaunchCase{"Root", "/velloran", "", "*", "/VLR120.chm", "", false},
        LaunchCase{"LongerThanAFixedBuffer", LongFolder() + "/velloran", "", "*",
                   LongFolder() + "/VLR120.chm", "", false},
        // In Shift-JIS the second byte of ソ and 表 is the backslash's code; in UTF-8 no
        // byte of them is a separator.
        LaunchCase{"DoubleByteFolder", "/home/ソ表/velloran", "", "*", "/home/ソ表/VLR120.chm", "",
                   false},
        // Without a folder the path is tried as it is, and fails.
        LaunchCase{"NoFolder", "velloran", "", "", "velloran", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
