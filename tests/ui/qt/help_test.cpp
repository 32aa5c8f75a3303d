// The help: the compiled VLR120.chm beside the program opened by the Help button, its
// table of contents and pages, and the message when it cannot be opened.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/scripted_dialogs.h"
#include "ui/help_launcher.h"
#include "ui/qt/chm_archive.h"
#include "ui/qt/chm_help_viewer.h"
#include "ui/qt/chm_system.h"
#include "ui/qt/help_contents.h"
#include "ui/qt/help_text.h"
#include "ui/qt/main_window.h"

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

class HelpButtonTest : public ::testing::Test {
  protected:
    void PressHelp(HelpLauncher::ProgramPathSource programPath) {
        HelpLauncher help(viewer, std::move(programPath));
        MainWindow window(dialogs, help);
        window.Initialise();
        qobject_cast<QPushButton*>(window.Control(IDC_HELP_BUTTON))->click();
    }

    ScriptedDialogs dialogs;
    ChmHelpViewer viewer;
};

TEST_F(HelpButtonTest, OpensTheCompiledHelpBesideTheProgramOnItsContents) {
    PressHelp(&ThisProgram);  // the tests live in the program's folder, beside VLR120.chm

    EXPECT_TRUE(dialogs.boxes.empty());
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

TEST_F(HelpButtonTest, HelpWindowStaysUsableBesideTheRunningMainWindow) {
    HelpLauncher help(viewer, &ThisProgram);
    MainWindow window(dialogs, help);
    QWidget* blocker = &window;
    bool helpShown = false;
    QTimer::singleShot(0, &window, [&] {
        qobject_cast<QPushButton*>(window.Control(IDC_HELP_BUTTON))->click();
        helpShown = viewer.Window() != nullptr && viewer.Window()->isVisible();
        blocker = QApplication::activeModalWidget();
        window.close();
    });
    window.RunModal();  // returns once the close box has ended the window
    EXPECT_TRUE(helpShown);
    EXPECT_EQ(blocker, nullptr);
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

// No help beside the program, or a file that is not compiled help.
TEST_F(HelpButtonTest, MissingOrUnreadableHelpSaysSoInABoxCaptionedWithTheProductName) {
    TempDir folder;
    PressHelp([&folder] { return folder.File("velloran"); });
    WriteBytes(folder.File("VLR120.chm"), {'<', 'h', 't', 'm', 'l', '>'});
    PressHelp([&folder] { return folder.File("velloran"); });

    EXPECT_EQ(viewer.Window(), nullptr);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    for (const RecordedBox& box : dialogs.boxes) {
        EXPECT_EQ(box.text, "ヘルプが見つかりません。");
        EXPECT_EQ(box.caption, "VELLORAN");
        EXPECT_EQ(box.style, 0x30u);
    }
}

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

struct SitemapCase {
    const char* name;
    std::string sitemap;
    std::vector<HelpTopic> topics;
};

class HelpContentsTest : public ::testing::TestWithParam<SitemapCase> {};

TEST_P(HelpContentsTest, ReadsTopicsAtTheirDepth) {
    EXPECT_EQ(ParseHelpContents(GetParam().sitemap), GetParam().topics);
}

const char kNested[] = R"(<OBJECT type="text/site properties"><param name="X" value="y"></OBJECT>
<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Top"><param name="Local" value="a.html"></OBJECT>
<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Inner"><param name="Local" value="b.html"></OBJECT></UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Next"></OBJECT></UL>)";

INSTANTIATE_TEST_SUITE_P(
    Sitemaps, HelpContentsTest,
    ::testing::Values(SitemapCase{"NestedListsAndAHeading",
                                  kNested,
                                  {{"Top", "a.html", 0}, {"Inner", "b.html", 1}, {"Next", "", 0}}},
                      SitemapCase{"TagsAndNamesInAnyCaseWithUnquotedValues",
                                  "<ul><li><object TYPE=text/sitemap><PARAM NAME=name VALUE=Plain>"
                                  "<param name=\"LOCAL\" value='p.html'></object></ul>",
                                  {{"Plain", "p.html", 0}}},
                      SitemapCase{"CharacterReferences",
                                  "<UL><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                                  "value=\"A &amp; B &#x3042;&#12356; &bogus;\"></OBJECT></UL>",
                                  {{"A & B あい &bogus;", "", 0}}},
                      SitemapCase{"UnbalancedListEndsDoNotGoNegative",
                                  "</UL></UL><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                                  "value=\"Loose\"></OBJECT><UL><UL><OBJECT type=\"text/sitemap\">"
                                  "<param name=\"Name\" value=\"Deep\"></OBJECT>",
                                  {{"Loose", "", 0}, {"Deep", "", 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

std::string Record(uint16_t code, const std::string& data) {
    std::string record{static_cast<char>(code & 0xFF), static_cast<char>(code >> 8),
                       static_cast<char>(data.size() & 0xFF), static_cast<char>(data.size() >> 8)};
    return record + data;
}

TEST(ChmSystemTest, ReadsContentsTopicAndTitleAndStopsAtATruncatedRecord) {
    const std::string version("\x03\x00\x00\x00", 4);
    const std::string bytes = version + Record(9, std::string("HHA\0", 4)) +
                              Record(0, std::string("toc.hhc\0", 8)) +
                              Record(2, std::string("start.html\0", 11)) +
                              Record(3, std::string("Title\0", 6)) + Record(3, "Cut").substr(0, 5);
    const ChmSystemInfo info = ParseChmSystem(bytes);
    EXPECT_EQ(info.contentsFile, "toc.hhc");
    EXPECT_EQ(info.defaultTopic, "start.html");
    EXPECT_EQ(info.title, "Title");
    EXPECT_EQ(ParseChmSystem("").title, "");
}

TEST(HelpTextTest, DecodesTheHelpCodePage) {
    EXPECT_EQ(FromHelpCodePage("VELLORAN \x83\x77\x83\x8B\x83\x76"), "VELLORAN ヘルプ");
}

}  // namespace
}  // namespace velloran::testing
