// The desktop program's real windows, offscreen: layout after the templates' numbers,
// the texts, the key and close filters, and the main window's commands run to their one
// outcome box over a fake printer.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <string>
#include <thread>
#include <vector>

#include "platform/exclusive_file.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/qt_harness.h"
#include "tests/ui/template_numbers.h"
#include "ui/qt/dialog_units.h"

namespace velloran::testing {
namespace {

// The outcome texts as the user reads them.
constexpr char kDone[] = "データの転送が正常に終了しました。";
constexpr char kGenericError[] = "エラーが発生しました。";
constexpr char kSendFailed[] =
    "送信に失敗しました。\n・プリンターの電源が入っているか？\n"
    "・プリンターと正しく接続されているか？\n・機種名が正しく選択されているか？\n"
    "・送信するファイルが正しく選択されているか？\n以上を確認して、もう一度やり直してください。";
constexpr char kReceiveFailed[] =
    "受信に失敗しました。\n・プリンターの電源が入っているか？\n"
    "・プリンターと正しく接続されているか？\n・機種名が正しく選択されているか？\n"
    "以上を確認して、もう一度やり直してください。";
constexpr char kSendInterrupted[] =
    "送信に失敗しました。\n転送中に中断され、送信を完了できませんでした。\n"
    "プリンターが適切な通信モードに入っているかを確認して、\nもう一度やり直してください。";
constexpr char kReceiveInterrupted[] =
    "受信に失敗しました。\n転送中に中断され、受信を完了できませんでした。\n"
    "プリンターが適切な通信モードに入っているかを確認して、\nもう一度やり直してください。";

void PressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&target, &press);
}

// The window in the 9-point dialog font, each control where the template's numbers put
// it for that font (a quarter of the base unit across and an eighth down, halves rounded
// up); a drop-down list's height is its own.
void ExpectLaidOut(QWidget& window, const TemplateNumbers& numbers,
                   const std::vector<QWidget*>& controls) {
    EXPECT_EQ(window.font().pointSize(), 9);
    EXPECT_EQ(DialogUnitsToPixelsX(283, {6, 12}), 425);
    EXPECT_EQ(DialogUnitsToPixelsY(283, {6, 12}), 425);
    EXPECT_EQ(DialogUnitsToPixelsX(11, {7, 13}), 19);
    EXPECT_EQ(DialogUnitsToPixelsY(11, {7, 13}), 18);
    const DialogBaseUnits base = BaseUnitsOf(window.font());
    EXPECT_EQ(window.size(), QSize(DialogUnitsToPixelsX(numbers.width, base),
                                   DialogUnitsToPixelsY(numbers.height, base)));
    ASSERT_EQ(controls.size(), numbers.controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlNumbers& n = numbers.controls[i];
        SCOPED_TRACE(n.id);
        const QRect actual = controls[i]->geometry();
        EXPECT_EQ(actual.topLeft(),
                  QPoint(DialogUnitsToPixelsX(n.x, base), DialogUnitsToPixelsY(n.y, base)));
        EXPECT_EQ(actual.width(), DialogUnitsToPixelsX(n.width, base));
        if (qobject_cast<QComboBox*>(controls[i]) == nullptr) {
            EXPECT_EQ(actual.height(), DialogUnitsToPixelsY(n.height, base));
        }
    }
}

TEST(MainWindowTest, ShowsItsTextsWhereTheTemplatePutsThemAndTakesOnlyEnter) {
    Windows w;
    w.window.show();
    const QList<QGroupBox*> groups = w.window.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 3);
    std::vector<QWidget*> controls;
    int group = 0;
    for (const ControlNumbers& n : kMainControlNumbers) {
        controls.push_back(n.id == -1 ? groups[group++] : w.window.Control(n.id));
    }
    ExpectLaidOut(w.window, kMainNumbers, controls);

    std::vector<QString> order;
    QWidget* widget = w.window.Control(IDC_MODEL);
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            order.push_back(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != w.window.Control(IDC_MODEL));
    EXPECT_EQ(order, (std::vector<QString>{"IDC_MODEL", "IDC_RECEIVE", "IDC_SEND",
                                           "IDC_HELP_BUTTON", "IDC_EXIT"}));

    EXPECT_EQ(w.window.windowTitle(), "VELLORAN");
    EXPECT_FALSE(w.window.windowIcon().isNull());
    const std::pair<int32_t, const char*> texts[] = {
        {1003, "機種名(&M)"},
        {1004, "プリンターからデータを受信し、ファイルへ出力します。"},
        {1005, "指定したファイルを読み込み、プリンターへ送信します。"},
        {1006, "VELLORAN Ver1.20"},
        {1008, "Copyright (C) 2026 VELLORAN developers"},
        {1002, "受信(&R)"},
        {1001, "送信(&S)"},
        {1, "終了(&X)"},
        {1007, "ヘルプ(&H)"}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(w.window.Control(id)->property("text").toString(), text) << id;
    }
    EXPECT_EQ(w.Control<QLabel>(IDC_MODEL_LABEL)->buddy(), w.window.Control(IDC_MODEL));
    const auto* models = w.Control<QComboBox>(IDC_MODEL);
    ASSERT_EQ(models->count(), 3);
    EXPECT_EQ(models->itemText(0), "LM-Q30");
    EXPECT_EQ(models->itemText(1), "LM-Q20");
    EXPECT_EQ(models->itemText(2), "LM-Q10");
    EXPECT_EQ(models->currentIndex(), 0);

    // Escape and F1 do nothing; Enter activates Exit.
    w.Control<QComboBox>(IDC_MODEL)->setFocus();
    PressKey(*w.window.Control(IDC_MODEL), Qt::Key_Escape);
    PressKey(w.window, Qt::Key_Escape);
    PressKey(w.window, Qt::Key_F1);
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_TRUE(w.dialogs.boxes.empty());
    PressKey(w.window, Qt::Key_Return);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.result(), QDialog::Accepted);
}

class RefusingStarter final : public WorkerStarter {
  public:
    std::optional<std::thread> Start(std::function<void()>) override { return std::nullopt; }
};

// A command of the main window run to its end over a fake printer and a fake clock, the
// job on a real worker thread: the file dialog, the confirmation, then the transfer
// window with one outcome box, after which the device is ended and the library freed.
struct CommandCase {
    const char* name;
    int32_t model;
    int32_t button;
    std::function<void(FakeDriver&)> arrange;
    uint32_t silentFrom;  // the first frame the printer leaves unanswered; 0 none
    int32_t fileModel;    // the backup sent; -1 none
    bool refuseThread;
    const char* text;
    const char* suffix;
    uint32_t style;
    bool windowShown;  // at the outcome box
    int barValue;
    int barMaximum;
};

class MainWindowCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(MainWindowCommand, ShowsOneOutcomeBoxThenEndsTheDeviceAndFreesTheLibrary) {
    const CommandCase& c = GetParam();
    FakeDriver driver;
    FakePrinter printer{driver};
    printer.silentFrom = c.silentFrom;
    FakeClock clock;
    TempDir dir;
    RefusingStarter refusing;
    c.arrange(driver);
    const std::string path = dir.File("b.vid");
    if (c.fileModel >= 0) {
        WriteBytes(path, SingleRegionFile(HeaderOf(c.fileModel), 0x10008000, 1, 1));
    }
    MainDlgEnvironment environment;
    environment.transfer = {&driver, &clock, c.refuseThread ? &refusing : &SystemWorkerStarter()};
    Windows w{environment};
    size_t endedAtBox = 99;
    int freesAtBox = -1;
    w.dialogs.onBox = [&] {
        endedAtBox = driver.endedHandles.size();
        freesAtBox = driver.frees;
    };
    w.Press(c.model, c.button, path);

    ASSERT_EQ(w.dialogs.boxes.size(), 2u);  // the confirmation, then the outcome
    EXPECT_EQ(w.dialogs.boxes[0].text, "プリンター側の準備はよろしいですか？");
    EXPECT_EQ(w.dialogs.boxes[0].style, 0x44u);
    const RecordedBox& box = w.dialogs.boxes[1];
    EXPECT_EQ(box.text, QString::fromUtf8(c.text) + c.suffix);
    EXPECT_EQ(box.caption, "VELLORAN");
    EXPECT_EQ(box.style, c.style);
    EXPECT_EQ(box.transferWindowVisible, c.windowShown);
    EXPECT_EQ(box.barValue, c.barValue);
    EXPECT_EQ(box.barMaximum, c.barMaximum);
    EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
    // The device is ended and the library freed after the box, not before.
    EXPECT_EQ(endedAtBox, 0u);
    EXPECT_EQ(freesAtBox, 0);
    EXPECT_EQ(driver.frees, driver.loads);
    EXPECT_EQ(driver.endedHandles.size(), driver.startIndices.size());
    EXPECT_EQ(w.window.Logic().selection, c.model);
    EXPECT_EQ(w.Control<QComboBox>(IDC_MODEL)->currentIndex(), c.model);
    if (c.button == IDC_RECEIVE && c.style == 0x40) {
        // The LM-Q30's header, then the first record's head: 0x10E60000, 0x5000 bytes.
        const std::vector<uint8_t> bytes = ReadBytes(path);
        EXPECT_EQ(bytes.size(), 186432u);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16),
                  (std::vector<uint8_t>{0x01, 0x06, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xE6, 0x10, 0x00, 0x50, 0x00, 0x00}));
    } else if (c.button == IDC_RECEIVE) {
        EXPECT_FALSE(FileExists(path)) << "a failed receive leaves no file";
    }
}

void Nothing(FakeDriver&) {}

INSTANTIATE_TEST_SUITE_P(
    Paths, MainWindowCommand,
    ::testing::Values(
        // Nine frames around one data frame.
        CommandCase{"CompleteSend", kQ20, IDC_SEND, &Nothing, 0, kQ20, false, kDone, "", 0x40, true,
                    10, 10},
        // Seven regions of 64-byte blocks: 2920 steps of a range of 2927.
        CommandCase{"CompleteQ30Receive", kQ30, IDC_RECEIVE, &Nothing, 0, -1, false, kDone, "",
                    0x40, true, 2920, 2927},
        // Open, address, control 00, setup; the next address goes unanswered.
        CommandCase{"SendInterrupted", kQ20, IDC_SEND, &Nothing, 5, kQ20, false, kSendInterrupted,
                    " (0xec 0x00)", 0x30, true, 4, 10},
        // Open and address; the first block never arrives.
        CommandCase{"ReceiveInterrupted", kQ20, IDC_RECEIVE, &Nothing, 3, -1, false,
                    kReceiveInterrupted, " (0x21 0x00)", 0x30, true, 2, 20482},
        // Failures before the job show their box before the window appears.
        CommandCase{"SendWithoutLibrary", kQ10, IDC_SEND, [](FakeDriver& d) { d.loadFails = true; },
                    0, kQ10, false, kSendFailed, "", 0x30, false, -1, -1},
        CommandCase{"ReceiveWithoutPrinter", kQ20, IDC_RECEIVE,
                    [](FakeDriver& d) { d.activeIndex = -1; }, 0, -1, false, kReceiveFailed, "",
                    0x30, false, -1, -1},
        CommandCase{"RefusedFile", kQ20, IDC_SEND, &Nothing, 0, kQ30, false, kSendFailed, "", 0x30,
                    false, -1, -1},
        CommandCase{"WorkerCannotStart", kQ20, IDC_RECEIVE, &Nothing, 0, -1, true, kGenericError,
                    "", 0x30, false, -1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindowCommandTest, AskForAFileThenAConfirmationAndRunNothingWithoutBoth) {
    FakeDriver driver;
    MainDlgEnvironment environment;
    environment.transfer.loader = &driver;
    environment.today = [] { return LocalDate{2014, 3, 7}; };
    Windows w{environment};
    w.Choose(kQ10);
    w.dialogs.confirmAnswer = 7;  // No
    for (const int32_t button : {IDC_RECEIVE, IDC_SEND}) {
        w.Click(button);  // no file chosen
        w.dialogs.files = {QStringLiteral("/tmp/x.vid")};
        w.Click(button);  // answered No
    }
    EXPECT_EQ(w.dialogs.boxes.size(), 2u);
    EXPECT_TRUE(driver.loadedNames.empty());
    ASSERT_EQ(w.dialogs.requests.size(), 4u);
    const FileDialogRequest& save = w.dialogs.requests[0];
    EXPECT_EQ(save.kind, FileDialogKind::kSave);
    EXPECT_EQ(save.initialName, "lmq10_140307.vid");
    EXPECT_EQ(save.defaultExtension, "vid");
    EXPECT_TRUE(save.overwritePrompt);
    const FileDialogRequest& open = w.dialogs.requests[2];
    EXPECT_EQ(open.kind, FileDialogKind::kOpen);
    EXPECT_EQ(open.initialName, "");
    EXPECT_EQ(open.filterPattern, "*.vid");
    EXPECT_TRUE(open.fileMustExist);
}

TEST(TransferWindowTest, IsLaidOutAfterItsTemplateAndOnlyItsOwnEndClosesIt) {
    ScriptedDialogs dialogs;
    CTransferDlg transfer;
    TransferWindow window{transfer, dialogs, nullptr};
    ExpectLaidOut(
        window, kTransferNumbers,
        {window.findChild<QLabel*>("IDC_STATUS"), window.findChild<QProgressBar*>("IDC_PROGRESS")});
    window.show();
    for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1}) {
        PressKey(window, key);
    }
    PressKey(window, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(window.close());
    window.reject();
    EXPECT_TRUE(window.isVisible());
    window.EndModal();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace velloran::testing
