// The desktop program's real windows, offscreen: layout after the templates' numbers,
// texts from the string table, the key and close filters, the worker's calls reaching
// the user-interface thread, and a transfer whose driver library is missing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <string>
#include <thread>
#include <vector>

#include "platform/exclusive_file.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/scripted_dialogs.h"
#include "tests/ui/template_numbers.h"
#include "ui/help_launcher.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/main_window.h"
#include "ui/qt/transfer_window.h"
#include "ui/ui_text.h"

namespace velloran::testing {
namespace {

class NoHelp final : public HelpViewer {
  public:
    bool DisplayContents(const std::string&) override { return true; }
};

void PressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&target, &press);
}

// Where a control of `numbers` must sit for the window's font; a drop-down list's height
// is its own.
void ExpectLaidOut(QWidget& window, const TemplateNumbers& numbers,
                   const std::vector<QWidget*>& controls) {
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

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        window.Initialise();
        window.show();
    }

    template <typename T>
    T* Control(int32_t id) {
        return qobject_cast<T*>(window.Control(id));
    }

    ScriptedDialogs dialogs;
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string(); }};
    MainWindow window{dialogs, help};
};

TEST_F(MainWindowTest, ControlsSitWhereTheTemplatePutsThemInTabOrder) {
    const QList<QGroupBox*> groups = window.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 3);
    std::vector<QWidget*> controls;
    int group = 0;
    for (const ControlNumbers& n : kMainControlNumbers) {
        controls.push_back(n.id == -1 ? groups[group++] : window.Control(n.id));
    }
    ExpectLaidOut(window, kMainNumbers, controls);

    std::vector<QString> order;
    QWidget* widget = window.Control(IDC_MODEL);
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            order.push_back(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != window.Control(IDC_MODEL));
    EXPECT_EQ(order, (std::vector<QString>{"IDC_MODEL", "IDC_RECEIVE", "IDC_SEND",
                                           "IDC_HELP_BUTTON", "IDC_EXIT"}));
}

TEST_F(MainWindowTest, EveryTextComesFromTheStringTable) {
    EXPECT_EQ(window.windowTitle(), "VELLORAN");
    EXPECT_FALSE(window.windowIcon().isNull());
    const std::pair<int32_t, uint32_t> texts[] = {
        {IDC_MODEL_LABEL, 103}, {IDC_RECEIVE_TEXT, 104}, {IDC_SEND_TEXT, 105},
        {IDC_VERSION, 102},     {IDC_COPYRIGHT, 116},
    };
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(Control<QLabel>(id)->text(), QString::fromStdString(UiText(text))) << id;
    }
    EXPECT_EQ(Control<QPushButton>(IDC_RECEIVE)->text(), "受信(&R)");
    EXPECT_EQ(Control<QPushButton>(IDC_SEND)->text(), "送信(&S)");
    EXPECT_EQ(Control<QPushButton>(IDC_EXIT)->text(), "終了(&X)");
    EXPECT_EQ(Control<QPushButton>(IDC_HELP_BUTTON)->text(), "ヘルプ(&H)");
    EXPECT_EQ(Control<QLabel>(IDC_MODEL_LABEL)->buddy(), window.Control(IDC_MODEL));
    const auto* models = Control<QComboBox>(IDC_MODEL);
    ASSERT_EQ(models->count(), 3);
    EXPECT_EQ(models->itemText(0), "LM-Q30");
    EXPECT_EQ(models->itemText(2), "LM-Q10");
    EXPECT_EQ(models->currentIndex(), 0);
}

TEST_F(MainWindowTest, EscapeAndF1DoNothingAndEnterActivatesExit) {
    Control<QComboBox>(IDC_MODEL)->setFocus();
    PressKey(*window.Control(IDC_MODEL), Qt::Key_Escape);
    PressKey(window, Qt::Key_Escape);
    PressKey(window, Qt::Key_F1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(dialogs.boxes.empty());
    PressKey(window, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, MissingDriverLibraryShowsOneFailureForTheDirectionAndKeepsTheModel) {
    Control<QComboBox>(IDC_MODEL)->setCurrentIndex(2);
    dialogs.files = {QStringLiteral("/nonexistent/lmq10.vid"),
                     QStringLiteral("/nonexistent/lmq10.vid")};
    Control<QPushButton>(IDC_RECEIVE)->click();
    Control<QPushButton>(IDC_SEND)->click();

    ASSERT_EQ(dialogs.boxes.size(), 4u);  // confirmation, failure, confirmation, failure
    EXPECT_EQ(dialogs.boxes[0].text, "プリンター側の準備はよろしいですか？");
    EXPECT_EQ(dialogs.boxes[0].style, 0x44u);
    EXPECT_EQ(dialogs.boxes[1].text, QString::fromStdString(UiText(118)));
    EXPECT_EQ(dialogs.boxes[1].caption, "VELLORAN");
    EXPECT_EQ(dialogs.boxes[1].style, 0x30u);
    EXPECT_FALSE(dialogs.boxes[1].transferWindowVisible);
    EXPECT_EQ(dialogs.boxes[3].text, QString::fromStdString(UiText(117)));
    EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
    EXPECT_EQ(Control<QComboBox>(IDC_MODEL)->currentIndex(), 2);
    EXPECT_EQ(window.Logic().selection, 2);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].initialName.substr(0, 6), "lmq10_");
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
    int32_t button;
    std::function<void(FakeDriver&)> arrange;
    int acks;           // frames the printer acknowledges before it falls silent
    int32_t fileModel;  // the backup sent; -1 none
    bool refuseThread;
    uint32_t textId;
    std::string suffix;
    uint32_t style;
    bool windowShown;  // at the outcome box
    int barValue;
};

class MainWindowCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(MainWindowCommand, ShowsOneOutcomeBoxThenEndsTheDeviceAndFreesTheLibrary) {
    const CommandCase& c = GetParam();
    FakeDriver driver;
    FakeClock clock;
    TempDir dir;
    RefusingStarter refusing;
    c.arrange(driver);
    for (int i = 0; i < c.acks; ++i) {
        driver.reads.push_back({0, {0x06}, -1});
    }
    const std::string path = dir.File("b.vid");
    if (c.fileModel >= 0) {
        WriteBytes(path, SingleRegionFile(HeaderOf(c.fileModel), 0x10008000, 1, 1));
    }
    ScriptedDialogs dialogs;
    dialogs.files = {QString::fromStdString(path)};
    size_t endedAtBox = 99;
    int freesAtBox = -1;
    dialogs.onBox = [&] {
        endedAtBox = driver.endedHandles.size();
        freesAtBox = driver.frees;
    };
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string(); }};
    MainDlgEnvironment environment;
    environment.transfer = {&driver, &clock, c.refuseThread ? &refusing : &SystemWorkerStarter()};
    MainWindow window{dialogs, help, environment};
    window.Initialise();
    qobject_cast<QComboBox*>(window.Control(IDC_MODEL))->setCurrentIndex(kQ20);
    qobject_cast<QPushButton*>(window.Control(c.button))->click();

    ASSERT_EQ(dialogs.boxes.size(), 2u);  // the confirmation, then the outcome
    EXPECT_EQ(dialogs.boxes[0].style, 0x44u);
    const RecordedBox& box = dialogs.boxes[1];
    EXPECT_EQ(box.text, QString::fromStdString(UiText(c.textId) + c.suffix));
    EXPECT_EQ(box.caption, "VELLORAN");
    EXPECT_EQ(box.style, c.style);
    EXPECT_EQ(box.transferWindowVisible, c.windowShown);
    EXPECT_EQ(box.barValue, c.barValue);
    EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
    // The device is ended and the library freed after the box, not before.
    EXPECT_EQ(endedAtBox, 0u);
    EXPECT_EQ(freesAtBox, 0);
    EXPECT_EQ(driver.frees, driver.loads);
    EXPECT_EQ(driver.endedHandles.size(), driver.startIndices.size());
    EXPECT_EQ(window.Logic().selection, kQ20);
    if (c.button == IDC_RECEIVE) {
        EXPECT_FALSE(FileExists(path)) << "a failed receive leaves no file";
    }
}

void Nothing(FakeDriver&) {}

INSTANTIATE_TEST_SUITE_P(
    Paths, MainWindowCommand,
    ::testing::Values(
        // Nine frames around one data frame.
        CommandCase{"CompleteSend", IDC_SEND, &Nothing, 10, kQ20, false, 121, "", 0x40, true, 10},
        // Open, address, control 00, setup; the next address goes unanswered.
        CommandCase{"SendInterrupted", IDC_SEND, &Nothing, 4, kQ20, false, 119, " (0xec 0x00)",
                    0x30, true, 4},
        // Open and address; the first block never arrives.
        CommandCase{"ReceiveInterrupted", IDC_RECEIVE, &Nothing, 2, -1, false, 120, " (0x21 0x00)",
                    0x30, true, 2},
        // Failures before the job show their box before the window appears.
        CommandCase{"SendWithoutLibrary", IDC_SEND, [](FakeDriver& d) { d.loadFails = true; }, 0,
                    kQ20, false, 117, "", 0x30, false, -1},
        CommandCase{"ReceiveWithoutPrinter", IDC_RECEIVE, [](FakeDriver& d) { d.activeIndex = -1; },
                    0, -1, false, 118, "", 0x30, false, -1},
        CommandCase{"ReceivePrinterDoesNotStart", IDC_RECEIVE,
                    [](FakeDriver& d) { d.startResult = 1; }, 0, -1, false, 118, "", 0x30, false,
                    -1},
        CommandCase{"RefusedFile", IDC_SEND, &Nothing, 0, kQ30, false, 117, "", 0x30, false, -1},
        CommandCase{"WorkerCannotStart", IDC_RECEIVE, &Nothing, 0, -1, true, 115, "", 0x30, false,
                    -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindowCommandTest, AskForAFileThenAConfirmationAndRunNothingWithoutBoth) {
    FakeDriver driver;
    ScriptedDialogs dialogs;
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string(); }};
    MainDlgEnvironment environment;
    environment.transfer.loader = &driver;
    environment.today = [] { return LocalDate{2014, 3, 7}; };
    MainWindow window{dialogs, help, environment};
    window.Initialise();
    qobject_cast<QComboBox*>(window.Control(IDC_MODEL))->setCurrentIndex(kQ10);
    dialogs.confirmAnswer = kAnswerNo;
    for (const int32_t button : {IDC_RECEIVE, IDC_SEND}) {
        qobject_cast<QPushButton*>(window.Control(button))->click();  // no file chosen
        dialogs.files = {QStringLiteral("/tmp/x.vid")};
        qobject_cast<QPushButton*>(window.Control(button))->click();  // answered No
    }
    EXPECT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(driver.loadedNames.empty());
    ASSERT_EQ(dialogs.requests.size(), 4u);
    const FileDialogRequest& save = dialogs.requests[0];
    EXPECT_EQ(save.kind, FileDialogKind::kSave);
    EXPECT_EQ(save.initialName, "lmq10_140307.vid");
    EXPECT_EQ(save.defaultExtension, "vid");
    EXPECT_TRUE(save.overwritePrompt);
    const FileDialogRequest& open = dialogs.requests[2];
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

struct UnitCase {
    DialogBaseUnits base;
    int units;
    int pixelsX;
    int pixelsY;
};

class DialogUnitsTest : public ::testing::TestWithParam<UnitCase> {};

// A quarter of the base unit across and an eighth down, halves rounded up.
TEST_P(DialogUnitsTest, ScaleWithTheFont) {
    EXPECT_EQ(DialogUnitsToPixelsX(GetParam().units, GetParam().base), GetParam().pixelsX);
    EXPECT_EQ(DialogUnitsToPixelsY(GetParam().units, GetParam().base), GetParam().pixelsY);
}

INSTANTIATE_TEST_SUITE_P(Units, DialogUnitsTest,
                         ::testing::Values(UnitCase{{6, 12}, 283, 425, 425},
                                           UnitCase{{7, 13}, 11, 19, 18},
                                           UnitCase{{8, 16}, 0, 0, 0}));

}  // namespace
}  // namespace velloran::testing
