// The main window's commands and the transfer window they run, without a toolkit: fake
// views over a fake printer and a fake clock, the job on a real worker thread that
// reaches the views through their user-interface-thread sinks, here run inline.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <latch>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/printer_lock.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"
#include "ui/main_dlg.h"
#include "ui/progress_model.h"
#include "ui/transfer_dlg.h"
#include "ui/ui_thread_sinks.h"

namespace velloran::testing {
namespace {

// A box's text, caption and style, the bar's position and range, and the ended devices
// and freed libraries at that moment.
using Box = std::tuple<std::string, std::string, uint32_t, uint32_t, uint32_t, size_t, int>;

struct Starter final : WorkerStarter {
    std::optional<std::thread> Start(std::function<void()> body) override {
        ++starts;
        return refuse ? std::nullopt : std::optional<std::thread>(std::thread(std::move(body)));
    }
    bool refuse = false;
    int starts = 0;
};

struct Rig {
    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock;
    Starter starter;
    TempDir dir;
    PrinterLock otherTransfer;
    std::vector<Box> boxes;
};

struct InlineThread final : UiThread {
    void Send(const std::function<void()>& call) override { call(); }
};

struct Bar final : ProgressSink {
    void SetRange(uint32_t upper) override { model.SetRange(upper); }
    void SetStep(uint32_t step) override { model.SetStep(step); }
    void SetPosition(uint32_t position) override { model.SetPosition(position); }
    void Step() override { model.Step(); }
    ProgressModel model;
};

struct FakeTransferView final : TransferView {
    FakeTransferView(Rig& r, CTransferDlg& d) : rig(r), dlg(d) { bar.model.SetRange(0); }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetStatusText(const std::string& text) override { status = text; }
    void SendStart() override {
        ++startsSent;
        dlg.OnBkupStart();
    }
    ProgressSink& WorkerProgress() override { return progress; }
    OutcomeSink& WorkerOutcome() override { return outcome; }
    void EndModal() override {
        std::lock_guard<std::mutex> lock(mutex);
        ++ends;
        ended.notify_all();
    }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        rig.boxes.emplace_back(text, caption, style, bar.model.Position(), bar.model.Upper(),
                               rig.driver.endedHandles.size(), rig.driver.frees);
        return 1;
    }
    void WaitForEnd() {
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [this] { return ends > 0; });
    }

    Rig& rig;
    CTransferDlg& dlg;
    std::string caption;
    std::string status;
    int startsSent = 0;
    int ends = 0;
    Bar bar;
    InlineThread thread;
    UiThreadProgress progress{bar, thread};
    UiThreadOutcome outcome{dlg, thread};
    std::mutex mutex;
    std::condition_variable ended;
};

struct FakeMainView final : MainView, HelpViewer {
    explicit FakeMainView(Rig& r) : rig(r) {}
    bool DisplayContents(const std::string&) override { return false; }
    void SetCaption(const std::string&) override {}
    void SetAppIcon() override {}
    void SetControlText(int32_t, const std::string&) override {}
    void AddModel(const std::string&) override {}
    void SetModelSelection(int32_t) override {}
    int32_t ModelSelection() const override { return chosen; }
    std::optional<std::string> AskFile(const FileDialogRequest& request) override {
        requests.push_back(request);
        return file;
    }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        rig.boxes.emplace_back(text, caption, style, 0, 0, rig.driver.endedHandles.size(),
                               rig.driver.frees);
        return answer;
    }
    // Runs the transfer window; meanwhile another program sends it a start and both
    // outcomes while the job waits at its first frame, and an outcome after its box.
    void DoModal(CTransferDlg& dlg) override {
        FakeTransferView& view = transfers.emplace_back(rig, dlg);
        std::latch outsideSent(1);
        rig.printer.beforeReply = [&outsideSent](uint32_t frame) {
            if (frame == 1) {
                outsideSent.wait();
            }
        };
        EXPECT_TRUE(dlg.OnInitDialog(view));
        dlg.OnBkupStart();
        dlg.OnBkupSuccess();
        dlg.OnBkupError(118, 0);
        outsideSent.count_down();
        view.WaitForEnd();
        dlg.OnBkupSuccess();
        EXPECT_EQ(std::tuple(view.ends, dlg.IsClosed()), std::tuple(1, true));
    }

    Rig& rig;
    int32_t chosen = 0;
    std::optional<std::string> file;
    int answer = 6;  // Yes
    std::vector<FileDialogRequest> requests;
    std::list<FakeTransferView> transfers;  // outlive the transfer windows' workers
};

constexpr char kDone[] = "データの転送が正常に終了しました。";
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
    "プリンターが適切な通信モードに入っているかを確認して、\nもう一度やり直してください。 (0xec "
    "0x00)";
constexpr char kReceiveInterrupted[] =
    "受信に失敗しました。\n転送中に中断され、受信を完了できませんでした。\n"
    "プリンターが適切な通信モードに入っているかを確認して、\nもう一度やり直してください。 (0x21 "
    "0x00)";
constexpr char kSending[] = "データを送信中です。";
constexpr char kReceiving[] = "データを受信中です。";

// A press of Receive (direction 0) or Send (1) with `model` chosen and the file dialog
// answering `file` (in the test's folder), to its last box.
struct PressCase {
    const char* name;
    int32_t model = kQ20;
    int32_t direction = 1;
    std::optional<std::string> file = "b.vid";
    int answer = 6;
    int32_t fileModel = kQ20;  // the backup a send finds; -1 none
    std::function<void(Rig&)> arrange = [](Rig&) {};
    std::vector<Box> boxes = {};
    std::string status = {};              // the transfer window's; empty when none runs
    std::pair<int, int> starts = {1, 1};  // start messages the window sent, workers asked for
};

const Box kConfirmBox{"プリンター側の準備はよろしいですか？", "VELLORAN", 0x44, 0, 0, 0, 0};

// The confirmation, then the outcome with the bar where it stands; no device is ended and
// no library freed before the outcome box is answered.
std::vector<Box> ConfirmedThen(const std::string& text, uint32_t style, uint32_t position = 0,
                               uint32_t upper = 0) {
    return {kConfirmBox, {text, "VELLORAN", style, position, upper, 0, 0}};
}

class MainDlgPress : public ::testing::TestWithParam<PressCase> {};

TEST_P(MainDlgPress, ConfirmsRunsOneTransferWindowAndEndsTheDeviceAfterItsBox) {
    const PressCase& c = GetParam();
    Rig rig;
    c.arrange(rig);
    FakeMainView view(rig);
    view.chosen = c.model;
    view.answer = c.answer;
    if (c.file) {
        view.file = rig.dir.File(*c.file);
    }
    if (c.fileModel >= 0) {
        WriteBytes(rig.dir.File("b.vid"),
                   SingleRegionFile(HeaderOf(c.fileModel), 0x10008000, 1, 1));
    }
    MainDlgEnvironment environment{.transfer = {&rig.driver, &rig.clock, &rig.starter},
                                   .today =
                                       [] {
                                           return LocalDate{2014, 3, 7};
                                       },
                                   .fileNameProblem = &WindowsFileNameProblem};
    HelpLauncher help(view, [] { return std::string(); });
    CMainDlg dlg(view, help, environment);
    dlg.OnSelchangeModel();
    c.direction == 1 ? dlg.OnSend() : dlg.OnReceive();

    EXPECT_EQ(rig.boxes, c.boxes);
    ASSERT_EQ(view.transfers.size(), c.status.empty() ? 0u : 1u);
    if (!view.transfers.empty()) {
        const FakeTransferView& t = view.transfers.front();
        EXPECT_EQ(std::tuple(t.caption, t.status, std::pair(t.startsSent, rig.starter.starts)),
                  std::tuple("VELLORAN", c.status, c.starts));
    }
    // Both dialogs ask for a backup file and before one is replaced; the save dialog
    // proposes the model's name for the day, the open dialog takes only a file that exists.
    const char* const names[] = {"lmq30_140307.vid", "lmq20_140307.vid", "lmq10_140307.vid"};
    ASSERT_EQ(view.requests.size(), 1u);
    const FileDialogRequest& r = view.requests[0];
    EXPECT_EQ(std::tuple(r.kind, r.initialName, r.defaultExtension, r.filterName, r.filterPattern,
                         r.overwritePrompt, r.fileMustExist, r.pathMustExist),
              c.direction == 1 ? std::tuple(FileDialogKind::kOpen, "", "vid", "vid files", "*.vid",
                                            true, true, true)
                               : std::tuple(FileDialogKind::kSave, names[c.model], "vid",
                                            "vid files", "*.vid", true, false, false));
    EXPECT_EQ(std::pair(rig.driver.frees, rig.driver.endedHandles.size()),
              std::pair(rig.driver.loads, rig.driver.startIndices.size()));
    EXPECT_EQ(dlg.selection, c.model);  // the model stays chosen
}

INSTANTIATE_TEST_SUITE_P(
    Presses, MainDlgPress,
    ::testing::Values(
        // Nine frames around one data frame.
        PressCase{.name = "CompleteSend",
                  .boxes = ConfirmedThen(kDone, 0x40, 10, 10),
                  .status = kSending},
        // Seven regions of 64-byte blocks: 2920 steps of a range of 2927.
        PressCase{.name = "CompleteQ30Receive",
                  .model = kQ30,
                  .direction = 0,
                  .boxes = ConfirmedThen(kDone, 0x40, 2920, 2927),
                  .status = kReceiving},
        // Open, address, control 00, setup; the next address goes unanswered.
        PressCase{.name = "SendInterrupted",
                  .arrange = [](Rig& r) { r.printer.silentFrom = 5; },
                  .boxes = ConfirmedThen(kSendInterrupted, 0x30, 4, 10),
                  .status = kSending},
        // Open and address; the first block never arrives.
        PressCase{.name = "ReceiveInterrupted",
                  .direction = 0,
                  .arrange = [](Rig& r) { r.printer.silentFrom = 3; },
                  .boxes = ConfirmedThen(kReceiveInterrupted, 0x30, 2, 20482),
                  .status = kReceiving},
        PressCase{.name = "SendWithoutLibrary",
                  .model = kQ10,
                  .fileModel = kQ10,
                  .arrange = [](Rig& r) { r.driver.loadFails = true; },
                  .boxes = ConfirmedThen(kSendFailed, 0x30),
                  .status = kSending,
                  .starts = {0, 0}},
        PressCase{.name = "ReceiveWithoutPrinter",
                  .direction = 0,
                  .arrange = [](Rig& r) { r.driver.activeIndex = -1; },
                  .boxes = ConfirmedThen(kReceiveFailed, 0x30),
                  .status = kReceiving,
                  .starts = {0, 0}},
        PressCase{.name = "RefusedFile",
                  .fileModel = kQ30,
                  .boxes = ConfirmedThen(kSendFailed, 0x30),
                  .status = kSending,
                  .starts = {1, 0}},
        PressCase{.name = "WorkerCannotStart",
                  .direction = 0,
                  .arrange = [](Rig& r) { r.starter.refuse = true; },
                  .boxes = ConfirmedThen("エラーが発生しました。", 0x30, 0, 20482),
                  .status = kReceiving},
        PressCase{
            .name = "BusyPrinter",
            .direction = 0,
            .arrange =
                [](Rig& r) {
                    ASSERT_EQ(r.otherTransfer.TryAcquire("Hdv305.dll", 0), PrinterLockState::kHeld);
                },
            .boxes = ConfirmedThen("プリンターは他の転送で使用中です。しばらくしてからもう一度"
                                   "やり直してください。",
                                   0x30),
            .status = kReceiving,
            .starts = {0, 0}},
        // Nothing runs without a file or a Yes; a name Windows would store otherwise than
        // typed is said so, without a confirmation.
        PressCase{.name = "SaveDialogCancelled", .direction = 0, .file = std::nullopt},
        PressCase{.name = "OpenDialogCancelled", .file = std::nullopt},
        PressCase{.name = "ReceiveAnsweredNo", .direction = 0, .answer = 7, .boxes = {kConfirmBox}},
        PressCase{.name = "SendAnsweredNo", .answer = 7, .boxes = {kConfirmBox}},
        PressCase{.name = "BadName",
                  .file = "b.vid.",
                  .boxes = {{"このファイル名は使用できません。", "VELLORAN", 0x30, 0, 0, 0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
