// The desktop program's logic without a toolkit: one instance at a time, the Help
// button's search for the help file, the progress control's arithmetic, and the main
// window's commands with the transfer window they run, through fake views over a fake
// printer and a fake clock. The job runs on a real worker thread and reaches the
// transfer window through its user-interface-thread sinks, whose thread runs each call
// at once.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <latch>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/printer_lock.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"
#include "ui/backup_app.h"
#include "ui/main_dlg.h"
#include "ui/progress_model.h"
#include "ui/transfer_dlg.h"
#include "ui/ui_thread_sinks.h"

namespace velloran::testing {
namespace {

// The single-instance token is named after the program file.
TEST(BackupAppTest, TheInstanceTokenIsTheProgramFilesName) {
    for (const auto& [path, name] : {std::pair{"C:\\Tools\\VELLORAN.exe", "VELLORAN"},
                                     {"/opt/v1.2/velloran", "velloran"},
                                     {"/opt/app.tar.gz", "app.tar"},
                                     {"/home/u/.hidden", ".hidden"}}) {
        EXPECT_EQ(ExecutableBaseName(path), name);
    }
}

using Box = std::tuple<std::string, std::string, uint32_t>;

// The desktop program's windows as their logic sees them: the main window, its help
// viewer (opening one path, "*" every path) and the transfer window, with the printer,
// clock and folder the transfers run over. The transfer window's user-interface thread
// runs every call at once; its bar is the progress control's arithmetic.
struct FakeWindows final : MainView, HelpViewer, TransferView, UiThread, ProgressSink {
    FakeWindows() { bar.SetRange(0); }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetAppIcon() override {}
    void SetControlText(int32_t, const std::string&) override {}
    void AddModel(const std::string&) override {}
    void SetModelSelection(int32_t) override {}
    int32_t ModelSelection() const override { return chosen; }
    std::optional<std::string> AskFile(const FileDialogRequest& request) override {
        requests.push_back(request);
        return file;
    }
    // No device is ended and no library freed while a box is up.
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        EXPECT_EQ(std::pair(driver.endedHandles.size(), driver.frees), std::pair(size_t{0}, 0));
        boxes.emplace_back(text, caption, style);
        barAtBox = {bar.Position(), bar.Upper()};
        return answer;
    }
    bool DisplayContents(const std::string& helpPath) override {
        opened.push_back(helpPath);
        return openable == "*" || helpPath == openable;
    }
    void DoModal(CTransferDlg& dlg) override;
    void SetStatusText(const std::string& text) override { status = text; }
    void SendStart() override {
        ++startsSent;
        transfer->OnBkupStart();
    }
    ProgressSink& WorkerProgress() override { return progress; }
    OutcomeSink& WorkerOutcome() override { return *outcome; }
    void EndModal() override {
        ++ends;
        ends.notify_all();
    }
    void Send(const std::function<void()>& call) override { call(); }
    void SetRange(uint32_t upper) override { bar.SetRange(upper); }
    void SetStep(uint32_t step) override { bar.SetStep(step); }
    void SetPosition(uint32_t position) override { bar.SetPosition(position); }
    void Step() override { bar.Step(); }

    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock;
    TempDir dir;
    PrinterLock otherTransfer;
    WorkerStarter* starter = &SystemWorkerStarter();
    int chosen = 0, answer = 6;  // Yes
    std::optional<std::string> file;
    std::string openable, caption, status;
    std::vector<std::string> opened;
    std::vector<Box> boxes;
    std::vector<FileDialogRequest> requests;
    CTransferDlg* transfer = nullptr;  // the one run
    size_t startsSent = 0;
    std::atomic<int> ends = 0;
    ProgressModel bar;
    std::pair<uint32_t, uint32_t> barAtBox;
    UiThreadProgress progress{*this, *this};
    std::optional<UiThreadOutcome> outcome;
};

// Runs the transfer window. Meanwhile another program sends it a start and both outcomes
// while its job waits at the first frame, and an outcome once its box has gone.
void FakeWindows::DoModal(CTransferDlg& dlg) {
    ASSERT_EQ(transfer, nullptr);
    transfer = &dlg;
    outcome.emplace(dlg, *this);
    std::latch outsideSent(1);
    printer.beforeReply = [&outsideSent](uint32_t frame) {
        if (frame == 1) {
            outsideSent.wait();
        }
    };
    EXPECT_TRUE(dlg.OnInitDialog(*this));
    dlg.OnBkupStart();
    dlg.OnBkupSuccess();
    dlg.OnBkupError(118, 0);
    outsideSent.count_down();
    ends.wait(0);
    dlg.OnBkupSuccess();
    EXPECT_EQ(std::tuple(ends.load(), dlg.IsClosed()), std::tuple(1, true));
}

const Box kConfirmBox{"プリンター側の準備はよろしいですか？", "VELLORAN", 0x44};

// Nothing runs without a file or a Yes; a name Windows would store otherwise than typed
// is said so, without a confirmation. Both dialogs ask for a backup file and before one
// is replaced; the save dialog proposes the model's name for the day, the open dialog
// takes only a file that exists.
TEST(MainDlgTest, RunsNoTransferWithoutAFileAndAYes) {
    FakeWindows view;
    view.chosen = kQ10;
    view.answer = 7;  // No
    MainDlgEnvironment environment{.transfer = {.loader = &view.driver, .clock = &view.clock},
                                   .fileNameProblem = &WindowsFileNameProblem};
    environment.today = [] { return LocalDate{2014, 3, 7}; };
    HelpLauncher help(view, {});
    CMainDlg dlg(view, help, environment);
    dlg.OnSelchangeModel();
    for (const auto command : {&CMainDlg::OnReceive, &CMainDlg::OnSend}) {
        view.boxes.clear();
        for (const std::string name : {"", "x.vid", "x.vid."}) {  // "" cancelled
            view.file = name.empty() ? std::nullopt : std::optional(view.dir.File(name));
            (dlg.*command)();
        }
        EXPECT_EQ(view.boxes,
                  (std::vector<Box>{kConfirmBox,
                                    {"このファイル名は使用できません。", "VELLORAN", 0x30}}));
    }
    EXPECT_TRUE(view.transfer == nullptr && view.driver.loadedNames.empty());
    ASSERT_EQ(view.requests.size(), 6u);
    const auto fields = [&view](size_t i) {
        const FileDialogRequest& r = view.requests[i];
        return std::tuple(r.kind, r.initialName, r.defaultExtension, r.filterName, r.filterPattern,
                          r.overwritePrompt, r.fileMustExist, r.pathMustExist);
    };
    EXPECT_EQ(fields(0), std::tuple(FileDialogKind::kSave, "lmq10_140307.vid", "vid", "vid files",
                                    "*.vid", true, false, false));
    EXPECT_EQ(fields(3),
              std::tuple(FileDialogKind::kOpen, "", "vid", "vid files", "*.vid", true, true, true));
}

struct RefusingStarter final : WorkerStarter {
    std::optional<std::thread> Start(std::function<void()>) override { return std::nullopt; }
} refusingStarter;

// What a row changes before the press.
using Arrange = void (*)(FakeWindows&);
constexpr Arrange kNothing = [](FakeWindows&) {};
constexpr Arrange kSilentFrom5 = [](FakeWindows& v) { v.printer.silentFrom = 5; };
constexpr Arrange kSilentFrom3 = [](FakeWindows& v) { v.printer.silentFrom = 3; };
constexpr Arrange kNoLibrary = [](FakeWindows& v) { v.driver.loadFails = true; };
constexpr Arrange kNoPrinter = [](FakeWindows& v) { v.driver.activeIndex = -1; };
constexpr Arrange kNoThread = [](FakeWindows& v) { v.starter = &refusingStarter; };
constexpr Arrange kQ30Backup = [](FakeWindows& v) {
    WriteBytes(*v.file, SingleRegionFile(HeaderOf(kQ30), 0x10008000, 1, 1));
};
constexpr Arrange kPrinterHeld = [](FakeWindows& v) {
    ASSERT_EQ(v.otherTransfer.TryAcquire("Hdv305.dll", 0), PrinterLockState::kHeld);
};

// A confirmed Receive (direction 0) or Send (1), over a backup for LM-Q20, run to its one
// outcome box, information (0x40) for a completed transfer, a warning (0x30) otherwise;
// then the device is ended and the library freed.
struct RunCase {
    const char* name;
    int32_t model;
    int32_t direction;
    Arrange arrange;
    const char* outcome;
    std::pair<uint32_t, uint32_t> barAtBox;  // position and range
};

constexpr char kDone[] = "データの転送が正常に終了しました。";

class TransferRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(TransferRunTest, ShowsTheStatusThenOneOutcomeBoxThenEndsTheDevice) {
    const RunCase& c = GetParam();
    FakeWindows view;
    view.chosen = c.model;
    view.file = view.dir.File("b.vid");
    WriteBytes(*view.file, SingleRegionFile(HeaderOf(kQ20), 0x10008000, 1, 1));
    c.arrange(view);
    HelpLauncher help(view, {});
    CMainDlg dlg(view, help, {.transfer = {&view.driver, &view.clock, view.starter}});
    dlg.OnSelchangeModel();
    c.direction == 1 ? dlg.OnSend() : dlg.OnReceive();

    const uint32_t style = std::string(c.outcome) == kDone ? 0x40 : 0x30;
    EXPECT_EQ(view.boxes, (std::vector<Box>{kConfirmBox, {c.outcome, "VELLORAN", style}}));
    // The window sends itself one start once the printer is open.
    const char* status = c.direction == 1 ? "データを送信中です。" : "データを受信中です。";
    EXPECT_EQ(std::tuple(view.caption, view.status, view.barAtBox, view.startsSent),
              std::tuple("VELLORAN", status, c.barAtBox, view.driver.startIndices.size()));
    EXPECT_EQ(std::pair(view.driver.frees, view.driver.endedHandles.size()),
              std::pair(view.driver.loads, view.driver.startIndices.size()));
    EXPECT_EQ(dlg.selection, c.model);  // the model stays chosen
}

constexpr char kSendFailed[] =
    "送信に失敗しました。\n・プリンターの電源が入っているか？\n"
    "・プリンターと正しく接続されているか？\n・機種名が正しく選択されているか？\n"
    "・送信するファイルが正しく選択されているか？\n以上を確認して、もう一度やり直してください。";
constexpr char kReceiveFailed[] =
    "受信に失敗しました。\n・プリンターの電源が入っているか？\n"
    "・プリンターと正しく接続されているか？\n・機種名が正しく選択されているか？\n"
    "以上を確認して、もう一度やり直してください。";
constexpr char kSendCut[] =
    "送信に失敗しました。\n転送中に中断され、送信を完了できませんでした。\nプリンターが適切な"
    "通信モードに入っているかを確認して、\nもう一度やり直してください。 (0xec 0x00)";
constexpr char kReceiveCut[] =
    "受信に失敗しました。\n転送中に中断され、受信を完了できませんでした。\nプリンターが適切な"
    "通信モードに入っているかを確認して、\nもう一度やり直してください。 (0x21 0x00)";
constexpr char kBusy[] =
    "プリンターは他の転送で使用中です。しばらくしてからもう一度やり直してください。";

INSTANTIATE_TEST_SUITE_P(
    Runs, TransferRunTest,
    ::testing::Values(
        // Nine frames around one data frame.
        RunCase{"CompleteSend", kQ20, 1, kNothing, kDone, {10, 10}},
        // Seven regions of 64-byte blocks: 2920 steps of a range of 2927.
        RunCase{"CompleteQ30Receive", kQ30, 0, kNothing, kDone, {2920, 2927}},
        // Open, address, control 00, setup; the next address goes unanswered.
        RunCase{"SendInterrupted", kQ20, 1, kSilentFrom5, kSendCut, {4, 10}},
        // Open and address; the first block never arrives.
        RunCase{"ReceiveInterrupted", kQ20, 0, kSilentFrom3, kReceiveCut, {2, 20482}},
        RunCase{"SendWithoutLibrary", kQ10, 1, kNoLibrary, kSendFailed, {0, 0}},
        RunCase{"ReceiveWithoutPrinter", kQ20, 0, kNoPrinter, kReceiveFailed, {0, 0}},
        RunCase{"RefusedFile", kQ20, 1, kQ30Backup, kSendFailed, {0, 0}},
        RunCase{"WorkerCannotStart", kQ20, 0, kNoThread, "エラーが発生しました。", {0, 20482}},
        RunCase{"BusyPrinter", kQ20, 0, kPrinterHeld, kBusy, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

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

const std::string kShare = "../share/velloran";
const std::string kBeside = "/usr/bin/VLR120.chm";
const std::string kInstalled = "/usr/bin/../share/velloran/VLR120.chm";
// A folder far longer than the 260 bytes a fixed buffer would hold.
const std::string kLongFolder = std::string("/home/").append(400, 'd');

const LaunchCase kLaunchCases[] = {
    {"Beside", "/usr/bin/velloran", kShare, "*", {kBeside}, false},
    {"Installed", "/usr/bin/velloran", kShare, kInstalled, {kBeside, kInstalled}, false},
    {"Nowhere", "/usr/bin/velloran", kShare, "", {kBeside, kInstalled}, true},
    {"NoInstalledFolder", "/usr/bin/velloran", "", "", {kBeside}, true},
    {"UnknownProgramPath", "", kShare, "*", {}, false},
    {"Root", "/velloran", "", "*", {"/VLR120.chm"}, false},
    {"Long", kLongFolder + "/velloran", "", "*", {kLongFolder + "/VLR120.chm"}, false},
    // In Shift-JIS the second byte of ソ and 表 is the backslash's code; in UTF-8 no
    // byte of them is a separator.
    {"DoubleByteFolder", "/home/ソ表/velloran", "", "*", {"/home/ソ表/VLR120.chm"}, false},
    // Without a folder the path is tried as it is, and fails.
    {"NoFolder", "velloran", "", "", {"velloran"}, true}};

TEST(HelpLauncherTest, EveryPressTriesThePlacesInOrder) {
    for (const LaunchCase& c : kLaunchCases) {
        SCOPED_TRACE(c.name);
        FakeWindows r;
        r.openable = c.openable;
        HelpLauncher launcher(
            r, [&c] { return c.programPath; }, c.installedFolder);
        launcher.OnHelpButton(static_cast<MainView&>(r));
        launcher.OnHelpButton(static_cast<MainView&>(r));
        std::vector<std::string> twice = c.tries;
        twice.insert(twice.end(), c.tries.begin(), c.tries.end());
        EXPECT_EQ(r.opened, twice);
        EXPECT_EQ(r.boxes, std::vector<Box>(c.missing ? 2 : 0,
                                            Box{"ヘルプが見つかりません。", "VELLORAN", 0x30}));
    }
}

// The progress control: range, step of 1, clamped position, the wrap of a step past the
// top, and a narrower range clamping the position.
TEST(ProgressModelTest, EndsAtTheExpectedPosition) {
    // Range, position set after it, steps after that, range set last, expected position.
    for (const auto& [upper, position, steps, last, expected] :
         std::vector<std::array<uint32_t, 5>>{{10, 0, 10, 10, 10},
                                              {10, 0, 11, 10, 1},
                                              {10, 25, 0, 10, 10},
                                              {50, 40, 0, 20, 20},
                                              {0, 0, 3, 0, 0}}) {
        ProgressModel model;
        model.SetRange(upper);
        model.SetStep(1);
        model.SetPosition(position);
        for (uint32_t i = 0; i < steps; ++i) {
            model.Step();
        }
        model.SetRange(last);
        EXPECT_EQ(model.Position(), expected) << upper << " " << steps;
    }
}

}  // namespace
}  // namespace velloran::testing
