// The Help button: the help file beside the program, and the box when it cannot be shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/help_launcher.h"
#include "ui/ui_constants.h"

namespace velloran::testing {
namespace {

struct ShownBox {
    std::string text;
    std::string caption;
    uint32_t style;
};

struct HelpPath {
    const char* name;
    std::string programPath;
    std::string helpPath;
};

// A folder path far longer than the 260 bytes a fixed buffer would hold.
std::string LongFolder() {
    std::string folder;
    while (folder.size() < 400) {
        folder += "/とても長いフォルダー名";
    }
    return folder;
}

class HelpPathTest : public ::testing::TestWithParam<HelpPath> {};

TEST_P(HelpPathTest, IsTheHelpFileInTheProgramsFolder) {
    EXPECT_EQ(HelpPathFor(GetParam().programPath), GetParam().helpPath);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, HelpPathTest,
    ::testing::Values(HelpPath{"Plain", "/opt/velloran/bin/velloran",
                               "/opt/velloran/bin/VLR120.chm"},
                      HelpPath{"Root", "/velloran", "/VLR120.chm"},
                      HelpPath{"LongerThanAFixedBuffer", LongFolder() + "/velloran",
                               LongFolder() + "/VLR120.chm"},
                      // In Shift-JIS the second byte of ソ and 表 is the backslash's code; in UTF-8
                      // no byte of them is a separator.
                      HelpPath{"DoubleByteFolder", "/home/ソ表/velloran", "/home/ソ表/VLR120.chm"},
                      HelpPath{"NoFolder", "velloran", "velloran"}, HelpPath{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

class RecordingViewer final : public HelpViewer {
  public:
    bool DisplayContents(const std::string& helpPath) override {
        opened.push_back(helpPath);
        return opens || helpPath == openable;
    }
    bool opens = true;
    std::string openable;
    std::vector<std::string> opened;
};

class RecordingOwner final : public MessageBoxView {
  public:
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        boxes.push_back({text, caption, style});
        return kAnswerOk;
    }
    std::vector<ShownBox> boxes;
};

TEST(HelpLauncherTest, OpensTheHelpBesideTheProgramWithoutAMessage) {
    RecordingViewer viewer;
    RecordingOwner owner;
    HelpLauncher launcher(viewer, [] { return std::string("/opt/v/velloran"); });
    launcher.OnHelpButton(owner);
    EXPECT_EQ(viewer.opened, std::vector<std::string>{"/opt/v/VLR120.chm"});
    EXPECT_TRUE(owner.boxes.empty());
}

TEST(HelpLauncherTest, EveryPressThatCannotOpenTheHelpSaysItIsMissing) {
    RecordingViewer viewer;
    viewer.opens = false;
    RecordingOwner owner;
    HelpLauncher launcher(viewer, [] { return std::string("/opt/v/velloran"); });
    launcher.OnHelpButton(owner);
    launcher.OnHelpButton(owner);
    ASSERT_EQ(owner.boxes.size(), 2u);
    for (const ShownBox& box : owner.boxes) {
        EXPECT_EQ(box.text, "ヘルプが見つかりません。");
        EXPECT_EQ(box.caption, "VELLORAN");
        EXPECT_EQ(box.style, kFailureBoxStyle);
    }
}

// The help beside the program comes first, then the installed help folder.
TEST(HelpLauncherTest, TriesTheProgramsFolderThenTheInstalledOne) {
    const std::string beside = "/usr/bin/VLR120.chm";
    const std::string installed = "/usr/bin/../share/velloran/VLR120.chm";
    for (const std::string& openable : {beside, installed, std::string("none")}) {
        RecordingViewer viewer;
        viewer.opens = false;
        viewer.openable = openable;
        RecordingOwner owner;
        HelpLauncher launcher(
            viewer, [] { return std::string("/usr/bin/velloran"); }, "../share/velloran");
        launcher.OnHelpButton(owner);
        EXPECT_EQ(viewer.opened.back(), openable == beside ? beside : installed);
        EXPECT_EQ(owner.boxes.size(), openable == "none" ? 1u : 0u);
    }
}

TEST(HelpLauncherTest, UnknownProgramPathShowsNothing) {
    RecordingViewer viewer;
    RecordingOwner owner;
    HelpLauncher launcher(viewer, [] { return std::string(); });
    launcher.OnHelpButton(owner);
    EXPECT_TRUE(viewer.opened.empty());
    EXPECT_TRUE(owner.boxes.empty());
}

}  // namespace
}  // namespace velloran::testing
