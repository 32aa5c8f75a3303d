// The main window's logic over a fake window: initialisation, the two commands with
// their file dialogs and confirmation, the model selection and the key filter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/ui/fake_views.h"
#include "ui/main_dlg.h"
#include "ui/ui_text.h"

namespace velloran::testing {
namespace {

class NoHelp final : public HelpViewer {
  public:
    bool DisplayContents(const std::string&) override { return true; }
};

class MainDlgTest : public ::testing::Test {
  protected:
    MainDlgTest() {
        driver.loadFails = true;  // every transfer ends at once with its connection failure
        dialog.OnInitDialog();
    }

    void Choose(int32_t index) {
        view.selection = index;
        dialog.OnSelchangeModel();
    }

    MainDlgEnvironment Environment() {
        MainDlgEnvironment environment;
        environment.transfer = {&driver, &clock, &SystemWorkerStarter()};
        environment.today = [this] { return today; };
        return environment;
    }

    FakeDriver driver;
    FakeClock clock;
    LocalDate today{2014, 3, 7};
    FakeMainView view;
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string("/opt/velloran/velloran"); }};
    CMainDlg dialog{view, help, Environment()};
};

TEST_F(MainDlgTest, InitialisationFillsEveryTextAndListsTheModelsWithTheNewestChosen) {
    EXPECT_EQ(view.caption, "VELLORAN");
    EXPECT_EQ(view.iconSets, 1);
    const std::vector<std::pair<int32_t, std::string>> expected{
        {IDC_VERSION, "VELLORAN Ver1.20"},
        {IDC_COPYRIGHT, UiText(IDS_COPYRIGHT)},
        {IDC_MODEL_LABEL, "機種名(&M)"},
        {IDC_RECEIVE_TEXT, "プリンターからデータを受信し、ファイルへ出力します。"},
        {IDC_RECEIVE, "受信(&R)"},
        {IDC_SEND_TEXT, "指定したファイルを読み込み、プリンターへ送信します。"},
        {IDC_SEND, "送信(&S)"},
        {IDC_EXIT, "終了(&X)"},
        {IDC_HELP_BUTTON, "ヘルプ(&H)"},
    };
    EXPECT_EQ(view.controlTexts, expected);
    EXPECT_EQ(view.models, (std::vector<std::string>{"LM-Q30", "LM-Q20", "LM-Q10"}));
    EXPECT_EQ(view.selection, 0);
    EXPECT_EQ(dialog.selection, 0);
}

struct ProposedName {
    int32_t modelIndex;
    LocalDate date;
    std::string name;
};

class ReceiveNameTest : public MainDlgTest, public ::testing::WithParamInterface<ProposedName> {};

TEST_P(ReceiveNameTest, ReceiveProposesThePrefixAndDateInASaveDialog) {
    Choose(GetParam().modelIndex);
    today = GetParam().date;
    dialog.OnReceive();

    ASSERT_EQ(view.fileRequests.size(), 1u);
    const FileDialogRequest& request = view.fileRequests[0];
    EXPECT_EQ(request.kind, FileDialogKind::Save);
    EXPECT_EQ(request.initialName, GetParam().name);
    EXPECT_EQ(request.defaultExtension, "vid");
    EXPECT_EQ(request.filterPattern, "*.vid");
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_FALSE(request.fileMustExist);
}

INSTANTIATE_TEST_SUITE_P(Dates, ReceiveNameTest,
                         ::testing::Values(ProposedName{kQ10, {2014, 3, 7}, "lmq10_140307.vid"},
                                           ProposedName{1, {2000, 12, 31}, "lmq20_001231.vid"}));

TEST_F(MainDlgTest, SendAsksForAnExistingFileWithoutProposingAName) {
    dialog.OnSend();
    ASSERT_EQ(view.fileRequests.size(), 1u);
    EXPECT_EQ(view.fileRequests[0].kind, FileDialogKind::Open);
    EXPECT_EQ(view.fileRequests[0].initialName, "");
    EXPECT_EQ(view.fileRequests[0].filterName, "vid files");
    EXPECT_TRUE(view.fileRequests[0].fileMustExist);
}

struct Declined {
    const char* name;
    bool send;
    bool cancelFile;  // otherwise the file is chosen and the confirmation answered No
};

class DeclinedTest : public MainDlgTest, public ::testing::WithParamInterface<Declined> {};

TEST_P(DeclinedTest, StartsNoTransferAndTouchesNoPrinter) {
    const Declined& row = GetParam();
    view.fileAnswer = row.cancelFile ? std::nullopt : std::optional<std::string>("/tmp/x.vid");
    view.boxAnswer = kAnswerNo;
    row.send ? dialog.OnSend() : dialog.OnReceive();

    EXPECT_TRUE(view.transfers.empty());
    EXPECT_TRUE(driver.loadedNames.empty());
    EXPECT_EQ(view.boxes.size(), row.cancelFile ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Commands, DeclinedTest,
                         ::testing::Values(Declined{"ReceiveCancelled", false, true},
                                           Declined{"ReceiveAnsweredNo", false, false},
                                           Declined{"SendCancelled", true, true},
                                           Declined{"SendAnsweredNo", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainDlgTest, ConfirmedCommandsRunATransferWindowForTheChosenModelFileAndDirection) {
    Choose(kQ10);
    view.fileAnswer = "/backups/a.vid";
    dialog.OnReceive();
    view.fileAnswer = "/backups/b.vid";
    dialog.OnSend();

    ASSERT_EQ(view.boxes.size(), 2u);
    for (const ShownBox& box : view.boxes) {
        EXPECT_EQ(box.text, "プリンター側の準備はよろしいですか？");
        EXPECT_EQ(box.caption, "VELLORAN");
        EXPECT_EQ(box.style, 0x44u);
    }
    ASSERT_EQ(view.transfers.size(), 2u);
    EXPECT_EQ(view.transfers[0].filePath, "/backups/a.vid");
    EXPECT_EQ(view.transfers[0].modelIndex, kQ10);
    EXPECT_EQ(view.transfers[0].direction, kDirectionReceive);
    EXPECT_EQ(view.transfers[1].filePath, "/backups/b.vid");
    EXPECT_EQ(view.transfers[1].modelIndex, kQ10);
    EXPECT_EQ(view.transfers[1].direction, kDirectionSend);
    EXPECT_EQ(dialog.selection, kQ10) << "the chosen model survives a transfer";
    EXPECT_EQ(view.selection, kQ10);
    // The driver library is missing: each window says so once, for its own direction.
    ASSERT_EQ(view.transfers[0].boxes.size(), 1u);
    EXPECT_EQ(view.transfers[0].boxes[0].text, UiText(IDS_RECEIVE_FAILED));
    ASSERT_EQ(view.transfers[1].boxes.size(), 1u);
    EXPECT_EQ(view.transfers[1].boxes[0].text, UiText(IDS_SEND_FAILED));
}

}  // namespace
}  // namespace velloran::testing
