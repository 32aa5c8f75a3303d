// The desktop program's real windows, offscreen: layout after the templates' numbers,
// the texts, the key and close filters, where an outcome box appears, and one complete
// send through the windows against the simulated printer; the help (the compiled
// VLR120.chm beside the program, its contents and pages, and the message when it cannot
// be opened); and the single-instance lock file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <sys/wait.h>

#include "platform/printer_lock.h"
#include "res/resource.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_driver.h"
#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/template_numbers.h"
#include "ui/help_launcher.h"
#include "ui/qt/chm_help_viewer.h"
#include "ui/qt/chm_system.h"
#include "ui/qt/desktop_dialogs.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/lock_file_instance.h"
#include "ui/qt/main_window.h"
#include "ui/qt/transfer_window.h"
#include "ui/ui_constants.h"

namespace velloran::testing {
namespace {
// What a message box showed, and the transfer window's bar at that moment.
struct RecordedBox {
    QString text;
    QString caption;
    uint32_t style = 0;
    bool transferWindowVisible = false;
    int barValue = -1;
    int barMaximum = -1;
    bool operator==(const RecordedBox&) const = default;
};

// Answers the windows' standard dialogs from a script and records every box.
class ScriptedDialogs final : public DesktopDialogs {
  public:
    int ShowMessageBox(QWidget*, const QString& text, const QString& caption,
                       uint32_t style) override {
        RecordedBox box{text, caption, style};
        if (TransferWindow* transfer = VisibleTransferWindow()) {
            box.transferWindowVisible = true;
            const auto* bar = transfer->findChild<QProgressBar*>();
            box.barValue = bar->value();
            box.barMaximum = bar->maximum();
        }
        boxes.push_back(box);
        return (style & 0x0F) == 0x04 ? 6 : 1;  // Yes to Yes/No, else OK
    }

    // The next scripted file; cancelled when none is left.
    std::optional<QString> AskFile(QWidget*, const FileDialogRequest&) override {
        return files.empty() ? std::nullopt : std::optional(files.takeFirst());
    }

    static TransferWindow* VisibleTransferWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<TransferWindow*>(widget);
            if (window != nullptr && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    QStringList files;
    std::vector<RecordedBox> boxes;
};

inline HelpViewer& AlwaysOpeningHelp() {
    static struct final : HelpViewer {
        bool DisplayContents(const std::string&) override { return true; }
    } viewer;
    return viewer;
}

// The main window, initialised, over scripted dialogs.
struct Windows {
    explicit Windows(
        MainDlgEnvironment environment = {}, HelpViewer& viewer = AlwaysOpeningHelp(),
        HelpLauncher::ProgramPathSource programPath = [] { return std::string(); })
        : help(viewer, std::move(programPath)), window(dialogs, help, std::move(environment)) {
        window.Initialise();
    }

    template <typename T>
    T* Control(int32_t id) const {
        return qobject_cast<T*>(window.Control(id));
    }
    void Click(int32_t button) { Control<QPushButton>(button)->click(); }
    // Chooses the model, has the file dialog answer `file` and presses the button.
    void Press(int32_t model, int32_t button, const std::string& file) {
        Control<QComboBox>(IDC_MODEL)->setCurrentIndex(model);
        dialogs.files = {QString::fromStdString(file)};
        Click(button);
    }

    ScriptedDialogs dialogs;
    HelpLauncher help;
    MainWindow window;
};

constexpr char kBusy[] =
    "プリンターは他の転送で使用中です。しばらくしてからもう一度やり直してください。";

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
    EXPECT_EQ(
        (std::vector<int>{DialogUnitsToPixelsX(283, {6, 12}), DialogUnitsToPixelsY(283, {6, 12}),
                          DialogUnitsToPixelsX(11, {7, 13}), DialogUnitsToPixelsY(11, {7, 13})}),
        (std::vector<int>{425, 425, 19, 18}));
    const DialogBaseUnits base = BaseUnitsOf(window.font());
    const auto pixels = [&base](int x, int y, int width, int height) {
        return QRect(DialogUnitsToPixelsX(x, base), DialogUnitsToPixelsY(y, base),
                     DialogUnitsToPixelsX(width, base), DialogUnitsToPixelsY(height, base));
    };
    EXPECT_EQ(window.size(), pixels(0, 0, numbers.width, numbers.height).size());
    ASSERT_EQ(controls.size(), numbers.controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlNumbers& n = numbers.controls[i];
        QRect expected = pixels(n.x, n.y, n.width, n.height);
        if (qobject_cast<QComboBox*>(controls[i]) != nullptr) {
            expected.setHeight(controls[i]->height());
        }
        EXPECT_EQ(controls[i]->geometry(), expected) << n.id;
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

    // The tab stops round to the model list again after five.
    std::vector<QString> order;
    for (QWidget* at = w.window.Control(IDC_MODEL); order.size() < 6; at = at->nextInFocusChain()) {
        if (at->focusPolicy() & Qt::TabFocus) {
            order.push_back(at->objectName());
        }
    }
    EXPECT_EQ(order, (std::vector<QString>{"IDC_MODEL", "IDC_RECEIVE", "IDC_SEND",
                                           "IDC_HELP_BUTTON", "IDC_EXIT", "IDC_MODEL"}));

    EXPECT_EQ(w.window.windowTitle(), "VELLORAN");
    EXPECT_FALSE(w.window.windowIcon().isNull());
    for (const auto& [id, text] : kMainTexts) {
        EXPECT_EQ(w.window.Control(id)->property("text").toString(), text) << id;
    }
    EXPECT_EQ(w.Control<QLabel>(IDC_MODEL_LABEL)->buddy(), w.window.Control(IDC_MODEL));
    const auto* models = w.Control<QComboBox>(IDC_MODEL);
    EXPECT_EQ(std::tuple(models->count(), models->itemText(0), models->itemText(1),
                         models->itemText(2), models->currentIndex()),
              std::tuple(3, "LM-Q30", "LM-Q20", "LM-Q10", 0));

    // Escape and F1 do nothing; Enter activates Exit.
    w.Control<QComboBox>(IDC_MODEL)->setFocus();
    PressKey(*w.window.Control(IDC_MODEL), Qt::Key_Escape);
    PressKey(w.window, Qt::Key_Escape);
    PressKey(w.window, Qt::Key_F1);
    EXPECT_EQ(std::pair(w.window.isVisible(), w.dialogs.boxes.size()), std::pair(true, size_t{0}));
    PressKey(w.window, Qt::Key_Return);
    EXPECT_EQ(std::pair(w.window.isVisible(), w.window.result()),
              std::pair(false, int{QDialog::Accepted}));
}

// A failure before the job shows its box over the main window before the transfer window
// appears, and the transfer window never shows.
TEST(TransferWindowTest, AConnectionFailureShowsItsBoxBeforeTheWindowAppears) {
    FakeDriver driver;
    driver.loadFails = true;
    MainDlgEnvironment environment;
    environment.transfer.loader = &driver;
    Windows w{environment};
    w.Press(kQ20, IDC_RECEIVE, "/tmp/x.vid");
    ASSERT_EQ(w.dialogs.boxes.size(), 2u);
    EXPECT_EQ(std::pair(w.dialogs.boxes[1].style, w.dialogs.boxes[1].transferWindowVisible),
              std::pair(0x30u, false));
    EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
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

std::string ThisProgram() {
    return QCoreApplication::applicationFilePath().toStdString();
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
    EXPECT_TRUE(help->Browser().toPlainText().contains("VELLORAN について"));

    // The contents, an entry's children indented; every entry leads to a page in the file.
    std::vector<QString> entries;
    for (QTreeWidgetItemIterator at(&help->Contents()); *at != nullptr; ++at) {
        entries.push_back(((*at)->parent() != nullptr ? "  " : "") + (*at)->text(0));
        help->Contents().setCurrentItem(*at);
        EXPECT_FALSE(help->Browser().toPlainText().isEmpty()) << entries.back().toStdString();
    }
    EXPECT_EQ(entries, (std::vector<QString>{
                           "VELLORAN について", "使いかた", "  受信のしかた（バックアップを取る）",
                           "  送信のしかた（バックアップを戻す）", "バックアップと機種の対応",
                           "メッセージと確認すること"}));
    const QTreeWidgetItem& root = *help->Contents().invisibleRootItem();
    help->Contents().setCurrentItem(root.child(1)->child(0));
    EXPECT_TRUE(help->Browser().toPlainText().contains("lmq10_140307.vid"));
    help->Contents().setCurrentItem(root.child(3));
    EXPECT_TRUE(help->Browser().toPlainText().contains("ヘルプが見つかりません。"));
}

// No help beside the program, a file that is not compiled help, or compiled help that
// lacks its system file or its contents (one entry of its directory renamed) and would
// show an empty window: each counts as missing.
TEST(BrokenHelpTest, SaysTheHelpIsMissingInABoxCaptionedWithTheProductName) {
    // The entry renamed in a copy of the real help; "" an HTML file; null no file.
    for (const char* entry : {static_cast<const char*>(nullptr), "", "/#SYSTEM", "/contents.hhc"}) {
        SCOPED_TRACE(entry != nullptr ? entry : "no file");
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
        EXPECT_EQ(w.dialogs.boxes,
                  (std::vector<RecordedBox>{{"ヘルプが見つかりません。", "VELLORAN", 0x30}}));
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

// A complete send through the windows against the simulated printer, whose memory lives
// in a state file of raw image bytes (lmq20.mem): the send leaves the sent bytes in it.
// Meanwhile the command line finds the printer busy: refused at once, nothing written.
// Runs in real time, on its own.
TEST(DesktopTransferTest, SendWritesTheBackupIntoThePrintersMemory) {
    TempDir state;
    TempDir files;
    setenv("VELLORAN_SIM_STATE_DIR", state.Path().c_str(), 1);
    Windows w;
    w.window.show();
    const std::string sent = files.File("sent.vid");
    const std::vector<uint8_t> backup =
        SingleRegionFile(HeaderOf(kQ20), 0x10008000, 0x28000, 0x28000, 7);
    WriteBytes(sent, backup);
    int cliStatus = -1;  // a receive of the command line, once the window holds the printer
    std::thread cli([&] {
        for (int i = 0; i < 1000 && !PrinterLockTaken("Hdv305.dll", 0); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::string command = "cd '";
        command.append(files.Path().string())
            .append("' && exec '" VELLORAN_CLI_PROGRAM "' receive LM-Q20 c.vid </dev/null >o 2>e");
        cliStatus = std::system(command.c_str());
    });
    w.Press(kQ20, IDC_SEND, sent);
    cli.join();
    const std::vector<uint8_t> err = ReadBytes(files.File("e"));
    EXPECT_EQ(std::pair(WEXITSTATUS(cliStatus), std::string(err.begin(), err.end())),
              std::pair(1, std::string(kBusy) + "\n"));
    EXPECT_FALSE(std::filesystem::exists(files.File("c.vid")));

    // The outcome over the transfer window, its bar full: the data frames and the nine
    // around them.
    ASSERT_EQ(w.dialogs.boxes.size(), 2u);
    EXPECT_EQ(w.dialogs.boxes[1], (RecordedBox{"データの転送が正常に終了しました。", "VELLORAN",
                                               0x40, true, 2731 + 9, 2731 + 9}));
    EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);

    const std::vector<uint8_t> memory = ReadBytes(state.File("lmq20.mem"));
    ASSERT_EQ(memory.size(), 0x28000u);
    EXPECT_TRUE(std::equal(backup.begin() + 16, backup.end(), memory.begin()));
}

// The lock file lives in XDG_RUNTIME_DIR when it names a folder, otherwise in /tmp; a
// second holder of a name is refused until the first releases it.
TEST(LockFileInstanceTest, SecondHolderIsRefusedUntilTheFirstReleases) {
    TempDir folder;
    SetEnvVar("XDG_RUNTIME_DIR", folder.Path().string());
    EXPECT_EQ(RuntimeFolder().toStdString(), folder.Path().string());
    const QString lock = QString::fromStdString(folder.File("velloran.lock"));
    LockFileInstance first(RuntimeFolder());
    LockFileInstance second(RuntimeFolder());
    ASSERT_TRUE(first.TryAcquire("velloran"));
    EXPECT_TRUE(QFileInfo::exists(lock));
    EXPECT_FALSE(second.TryAcquire("velloran"));
    EXPECT_TRUE(second.TryAcquire("other-program"));
    first.Release();
    EXPECT_FALSE(QFileInfo::exists(lock));
    EXPECT_TRUE(second.TryAcquire("velloran"));
    SetEnvVar("XDG_RUNTIME_DIR", "/nonexistent/velloran-runtime");
    EXPECT_EQ(RuntimeFolder(), "/tmp");
    UnsetEnvVar("XDG_RUNTIME_DIR");
    EXPECT_EQ(RuntimeFolder(), "/tmp");
}

}  // namespace
}  // namespace velloran::testing
