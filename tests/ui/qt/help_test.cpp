// The help: the compiled VLR120.chm beside the program opened by the Help button, its
// table of contents and pages, and the message when it cannot be opened.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTreeWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/qt_harness.h"
#include "ui/qt/chm_archive.h"
#include "ui/qt/chm_help_viewer.h"
#include "ui/qt/chm_system.h"
#include "ui/qt/help_contents.h"
#include "ui/qt/help_text.h"

namespace velloran::testing {
namespace {

std::string ThisProgram() {
    return QCoreApplication::applicationFilePath().toStdString();
}

std::vector<QString> ChildTexts(const QTreeWidgetItem& parent) {
    std::vector<QString> texts;
    for (int i = 0; i < parent.childCount(); ++i) {
        texts.push_back(parent.child(i)->text(0));
    }
    return texts;
}

TEST(HelpButtonTest, OpensTheCompiledHelpBesideTheProgramOnItsContents) {
    ChmHelpViewer viewer;
    // The tests live in the program's folder, beside VLR120.chm.
    Windows w{{}, viewer, &ThisProgram};
    w.Click(IDC_HELP_BUTTON);

    EXPECT_TRUE(w.dialogs.boxes.empty());
    HelpWindow* help = viewer.Window();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "VELLORAN ヘルプ");

    const QTreeWidgetItem& root = *help->Contents().invisibleRootItem();
    EXPECT_EQ(ChildTexts(root),
              (std::vector<QString>{"VELLORAN について", "使いかた", "バックアップと機種の対応",
                                    "メッセージと確認すること"}));
    EXPECT_EQ(ChildTexts(*root.child(1)),
              (std::vector<QString>{"受信のしかた（バックアップを取る）",
                                    "送信のしかた（バックアップを戻す）"}));
    EXPECT_TRUE(help->Browser().toPlainText().contains("VELLORAN について"));

    help->Contents().setCurrentItem(root.child(1)->child(0));
    EXPECT_TRUE(help->Browser().toPlainText().contains("lmq10_140307.vid"));
    help->Contents().setCurrentItem(root.child(3));
    EXPECT_TRUE(help->Browser().toPlainText().contains("ヘルプが見つかりません。"));
}

// No help beside the program, a file that is not compiled help, or compiled help that
// lacks its system file or its contents (one entry of its directory renamed) and would
// show an empty window: each counts as missing.
struct BrokenHelp {
    const char* name;
    const char* entry;  // renamed in a copy of the real help; "" an HTML file; null no file
};

class BrokenHelpTest : public ::testing::TestWithParam<BrokenHelp> {};

TEST_P(BrokenHelpTest, SaysTheHelpIsMissingInABoxCaptionedWithTheProductName) {
    const char* entry = GetParam().entry;
    TempDir folder;
    if (entry != nullptr) {
        std::vector<uint8_t> bytes{'<', 'h', 't', 'm', 'l', '>'};
        if (*entry != '\0') {
            bytes = ReadBytes(HelpPathFor(ThisProgram()));
            const std::string name = entry;
            const auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
            ASSERT_NE(at, bytes.end());
            *(at + static_cast<ptrdiff_t>(name.size()) - 1) ^= 1;
        }
        WriteBytes(folder.File("VLR120.chm"), bytes);
    }
    ChmHelpViewer viewer;
    Windows w{{}, viewer, [&folder] { return folder.File("velloran"); }};
    w.Click(IDC_HELP_BUTTON);

    EXPECT_EQ(viewer.Window(), nullptr);
    ASSERT_EQ(w.dialogs.boxes.size(), 1u);
    EXPECT_EQ(w.dialogs.boxes[0].text, "ヘルプが見つかりません。");
    EXPECT_EQ(w.dialogs.boxes[0].caption, "VELLORAN");
    EXPECT_EQ(w.dialogs.boxes[0].style, 0x30u);
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenHelpTest,
                         ::testing::Values(BrokenHelp{"Missing", nullptr},
                                           BrokenHelp{"NotCompiledHelp", ""},
                                           BrokenHelp{"NoSystemFile", "/#SYSTEM"},
                                           BrokenHelp{"NoContents", "/contents.hhc"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompiledHelpTest, EveryContentsEntryLeadsToAPageInTheFile) {
    const std::unique_ptr<ChmArchive> archive = ChmArchive::Open(HelpPathFor(ThisProgram()));
    ASSERT_NE(archive, nullptr);
    const ChmSystemInfo system = ParseChmSystem(archive->Read("/#SYSTEM").value_or(""));
    EXPECT_EQ(system.contentsFile, "contents.hhc");
    EXPECT_EQ(system.defaultTopic, "index.html");

    const std::string contents = archive->Read("/" + system.contentsFile).value_or("");
    const auto topics = ParseHelpContents(FromHelpCodePage(contents).toStdString());
    ASSERT_GE(topics.size(), 6u);
    for (const HelpTopic& topic : topics) {
        if (!topic.local.empty()) {
            SCOPED_TRACE(topic.local);
            EXPECT_GT(archive->Read("/" + topic.local).value_or("").size(), 0u);
        }
    }
}

// A truncated record ends the reading; what came before it stays.
TEST(ChmSystemTest, StopsAtATruncatedRecord) {
    const std::string bytes = std::string("\x03\x00\x00\x00", 4) +
                              std::string("\x00\x00\x08\x00toc.hhc\0", 12) + "\x03\x00\x09";
    const ChmSystemInfo info = ParseChmSystem(bytes);
    EXPECT_EQ(info.contentsFile, "toc.hhc");
    EXPECT_EQ(info.title, "");
}

}  // namespace
}  // namespace velloran::testing
