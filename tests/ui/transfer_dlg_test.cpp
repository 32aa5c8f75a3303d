// The transfer window's sequences over a fake window, a fake driver and a fake clock:
// connection failures, refused files, complete jobs on a real worker thread, the one
// outcome box and the close that ends the device and frees the library.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "catalogue/model_catalogue.h"
#include "link/frame_exchange.h"
#include "platform/exclusive_file.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/fake_views.h"
#include "ui/transfer_dlg.h"
#include "ui/ui_text.h"

namespace velloran::testing {
namespace {

constexpr int32_t kLmQ30 = 0;
constexpr int32_t kLmQ20 = 1;
constexpr uint32_t kLmQ20Address = 0x10008000;
constexpr uint32_t kOneFrameSendRange = 10;  // 9 frames around one data frame
const std::string kSending = "データを送信中です。";
const std::string kReceiving = "データを受信中です。";

class RefusingStarter final : public WorkerStarter {
  public:
    std::optional<std::thread> Start(std::function<void()>) override { return std::nullopt; }
};

void Acknowledge(FakeDriver& driver, int frames) {
    for (int i = 0; i < frames; ++i) {
        driver.reads.push_back({0, {kAckByte}, -1});
    }
}

class TransferDlgTest : public ::testing::Test {
  protected:
    TransferEnvironment Environment(WorkerStarter& starter = SystemWorkerStarter()) {
        return {&driver, &clock, &starter};
    }

    // A transfer window for model `index`, direction and file, run to its close.
    void Run(int32_t index, int32_t direction, const std::string& path,
             WorkerStarter& starter = SystemWorkerStarter()) {
        CTransferDlg transfer(Environment(starter));
        transfer.context.filePath = path;
        transfer.context.modelIndex = index;
        transfer.context.direction = direction;
        ASSERT_TRUE(view.RunModal(transfer));
        threadStarted = transfer.context.threadHandle.joinable();
        closed = transfer.IsClosed();
        libraryHeld = transfer.context.deviceLink.libraryModule != nullptr;
    }

    // A one-frame LM-Q20 backup: the shortest file a single-region send accepts.
    std::string SmallLmQ20File() {
        const std::string path = dir.File("small.vid");
        WriteBytes(path, SingleRegionFile(HeaderOf(kLmQ20), kLmQ20Address, 1, 1));
        return path;
    }

    void ExpectClosedWithDeviceReleased() {
        EXPECT_TRUE(closed);
        EXPECT_EQ(view.endModals, 1);
        EXPECT_FALSE(libraryHeld);
        EXPECT_EQ(driver.frees, driver.loads);
    }

    FakeDriver driver;
    FakeClock clock;
    TempDir dir;
    FakeTransferView view;
    bool threadStarted = false;
    bool closed = false;
    bool libraryHeld = true;
};

struct ConnectionFailure {
    const char* name;
    std::function<void(FakeDriver&)> breakDriver;
};

class ConnectionFailureTest
    : public TransferDlgTest,
      public ::testing::WithParamInterface<std::tuple<ConnectionFailure, int32_t>> {};

TEST_P(ConnectionFailureTest, ShowsTheDirectionsFailureBeforeTheWindowAppearsAndStartsNoThread) {
    const auto& [failure, direction] = GetParam();
    failure.breakDriver(driver);
    Run(kLmQ20, direction, SmallLmQ20File());

    const bool send = direction == kDirectionSend;
    EXPECT_EQ(view.caption, "VELLORAN");
    EXPECT_EQ(view.status, send ? kSending : kReceiving);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(send ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED));
    EXPECT_EQ(view.boxes[0].caption, "VELLORAN");
    EXPECT_EQ(view.boxes[0].style, kFailureBoxStyle);
    EXPECT_EQ(view.boxesDuringInit, 1);
    EXPECT_FALSE(threadStarted);
    EXPECT_TRUE(view.bar.setup.empty());
    EXPECT_EQ(view.bar.steps, 0);
    EXPECT_TRUE(driver.writes.empty());
    ExpectClosedWithDeviceReleased();
}

INSTANTIATE_TEST_SUITE_P(
    BindOrConnect, ConnectionFailureTest,
    ::testing::Combine(
        ::testing::Values(
            ConnectionFailure{"LibraryMissing", [](FakeDriver& d) { d.loadFails = true; }},
            ConnectionFailure{"EntryPointMissing",
                              [](FakeDriver& d) { d.missingSuffixes = {"UsbRead"}; }},
            ConnectionFailure{"NoPrinterAnswers", [](FakeDriver& d) { d.activeIndex = -1; }},
            ConnectionFailure{"PrinterDoesNotStart", [](FakeDriver& d) { d.startResult = 1; }}),
        ::testing::Values(kDirectionReceive, kDirectionSend)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == kDirectionSend ? "Send" : "Receive");
    });

TEST_F(TransferDlgTest, AnyDirectionButSendIsAReceive) {
    driver.loadFails = true;
    Run(kLmQ20, 5, dir.File("any.vid"));
    EXPECT_EQ(view.status, kReceiving);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(IDS_RECEIVE_FAILED));
}

TEST_F(TransferDlgTest, CompleteSendFillsTheBarShowsOneSuccessBoxThenEndsTheDevice) {
    Acknowledge(driver, kOneFrameSendRange);
    std::vector<uint32_t> endedAtBox;
    int freesAtBox = -1;
    view.onBox = [&] {
        endedAtBox = driver.endedHandles;
        freesAtBox = driver.frees;
    };
    Run(kLmQ20, kDirectionSend, SmallLmQ20File());

    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "データの転送が正常に終了しました。");
    EXPECT_EQ(view.boxes[0].caption, "VELLORAN");
    EXPECT_EQ(view.boxes[0].style, kSuccessBoxStyle);
    EXPECT_EQ(view.boxesDuringInit, 0);
    EXPECT_EQ(view.bar.setup, (std::vector<std::string>{"range 10", "step 1", "position 0"}));
    EXPECT_EQ(view.bar.steps, static_cast<int>(kOneFrameSendRange));
    EXPECT_EQ(view.positionAtBox, kOneFrameSendRange);
    EXPECT_EQ(view.bar.callsOffLoopThread, 0);
    EXPECT_TRUE(threadStarted);
    // The device is ended and the library freed after the box, not before.
    EXPECT_TRUE(endedAtBox.empty());
    EXPECT_EQ(freesAtBox, 0);
    EXPECT_EQ(driver.endedHandles, std::vector<uint32_t>{driver.handleWritten});
    ExpectClosedWithDeviceReleased();
}

TEST_F(TransferDlgTest, SendInterruptedShowsOneBoxWithTheFailedFramesCode) {
    Acknowledge(driver, 4);  // open, address, control 00, setup; the next address goes unanswered
    Run(kLmQ20, kDirectionSend, SmallLmQ20File());

    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(IDS_SEND_INTERRUPTED) + " (0xec 0x00)");
    EXPECT_EQ(view.boxes[0].style, kFailureBoxStyle);
    EXPECT_EQ(view.bar.steps, 4);
    EXPECT_EQ(driver.endedHandles, std::vector<uint32_t>{driver.handleWritten});
    ExpectClosedWithDeviceReleased();
}

TEST_F(TransferDlgTest, ReceiveInterruptedShowsOneBoxAndLeavesNoFile) {
    Acknowledge(driver, 2);  // open and address; the first block never arrives
    const std::string path = dir.File("partial.vid");
    Run(kLmQ20, kDirectionReceive, path);

    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(IDS_RECEIVE_INTERRUPTED) + " (0x21 0x00)");
    EXPECT_EQ(view.bar.setup.front(), "range 20482");
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(driver.endedHandles, std::vector<uint32_t>{driver.handleWritten});
    ExpectClosedWithDeviceReleased();
}

TEST_F(TransferDlgTest, RefusedFileShowsSendFailedWithTheBarUntouchedAndClosesTheOpenDevice) {
    const std::string path = dir.File("lmq30.vid");
    WriteBytes(path, SingleRegionFile(HeaderOf(kLmQ30), kLmQ20Address, 1, 1));
    Run(kLmQ20, kDirectionSend, path);

    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(IDS_SEND_FAILED));
    EXPECT_TRUE(view.bar.setup.empty());
    EXPECT_FALSE(threadStarted);
    EXPECT_TRUE(driver.writes.empty());
    EXPECT_EQ(driver.endedHandles, std::vector<uint32_t>{driver.handleWritten});
    ExpectClosedWithDeviceReleased();
}

TEST_F(TransferDlgTest, WorkerThatCannotStartShowsTheGenericError) {
    RefusingStarter starter;
    Run(kLmQ20, kDirectionReceive, dir.File("never.vid"), starter);

    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "エラーが発生しました。");
    EXPECT_FALSE(threadStarted);
    ExpectClosedWithDeviceReleased();
}

struct ErrorBox {
    uint32_t outcomeId;
    FailureDetail detail;
    uint32_t textId;
    std::string suffix;
};

class ErrorBoxTest : public TransferDlgTest, public ::testing::WithParamInterface<ErrorBox> {};

// Starts a thread that does not run the job, so the window stays up until the test
// delivers an outcome itself.
class IdleStarter final : public WorkerStarter {
  public:
    std::optional<std::thread> Start(std::function<void()>) override {
        return std::thread([] {});
    }
};

TEST_P(ErrorBoxTest, ShowsTheOutcomesTextWithItsCodeOnceThenCloses) {
    const ErrorBox& row = GetParam();
    IdleStarter starter;
    CTransferDlg transfer(Environment(starter));
    transfer.context.modelIndex = kLmQ20;
    transfer.OnInitDialog(view);
    ASSERT_TRUE(view.boxes.empty());

    transfer.OnBkupError(row.outcomeId, row.detail);
    transfer.OnBkupSuccess();  // a second outcome after the close shows nothing

    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(row.textId) + row.suffix);
    EXPECT_EQ(view.boxes[0].caption, "VELLORAN");
    EXPECT_EQ(view.boxes[0].style, kFailureBoxStyle);
    EXPECT_EQ(view.endModals, 1);
    EXPECT_EQ(driver.frees, driver.loads);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ErrorBoxTest,
                         ::testing::Values(ErrorBox{119, 0x500EB, 119, " (0xeb 0x05)"},
                                           ErrorBox{119, 0, 119, ""}, ErrorBox{113, 0, 115, ""},
                                           ErrorBox{0, 0x21, 115, " (0x21 0x00)"},
                                           ErrorBox{120, 0x80000021, 120, ""}));

struct KeyRule {
    WindowInput input;
    bool consumed;
};

class TransferKeyFilterTest : public ::testing::TestWithParam<KeyRule> {};

TEST_P(TransferKeyFilterTest, LeavesTheUserNoWayToEndTheWindow) {
    EXPECT_EQ(CTransferDlg::PreTranslateMessage(GetParam().input), GetParam().consumed);
}

INSTANTIATE_TEST_SUITE_P(Keys, TransferKeyFilterTest,
                         ::testing::Values(KeyRule{WindowInput::Enter, true},
                                           KeyRule{WindowInput::Escape, true},
                                           KeyRule{WindowInput::CloseRequest, true},
                                           KeyRule{WindowInput::Help, true},
                                           KeyRule{WindowInput::Other, false}));

}  // namespace
}  // namespace velloran::testing
