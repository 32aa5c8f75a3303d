// The transfer window's sequences over a fake window, a fake driver and a fake clock:
// connection failures, refused files, complete and interrupted jobs on a real worker
// thread, the one outcome box and the close that ends the device and frees the library.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

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

constexpr uint32_t kSuccessIcon = 0x40;
constexpr uint32_t kFailureIcon = 0x30;
const std::string kSending = "データを送信中です。";
const std::string kReceiving = "データを受信中です。";
const std::string kGenericError = "エラーが発生しました。";

class RefusingStarter final : public WorkerStarter {
  public:
    std::optional<std::thread> Start(std::function<void()>) override { return std::nullopt; }
};

// Starts a thread that does not run the job, so the window stays up until the test
// delivers an outcome itself.
class IdleStarter final : public WorkerStarter {
  public:
    std::optional<std::thread> Start(std::function<void()>) override {
        return std::thread([] {});
    }
};

struct RunCase {
    const char* name;
    int32_t direction;
    std::function<void(FakeDriver&)> arrange;
    int acks;           // frames the printer acknowledges before it falls silent
    int32_t fileModel;  // the backup's model; -1 no file
    bool refuseThread;
    uint32_t textId;
    std::string suffix;
    uint32_t icon;
    bool boxDuringInit;  // shown before the window appears
    int steps;
};

class TransferRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(TransferRun, ShowsOneBoxThenEndsTheDeviceAndFreesTheLibrary) {
    const RunCase& c = GetParam();
    FakeDriver driver;
    FakeClock clock;
    TempDir dir;
    FakeTransferView view;
    c.arrange(driver);
    for (int i = 0; i < c.acks; ++i) {
        driver.reads.push_back({0, {0x06}, -1});
    }
    const std::string path = dir.File("b.vid");
    if (c.fileModel >= 0) {
        WriteBytes(path, SingleRegionFile(HeaderOf(c.fileModel), 0x10008000, 1, 1));
    }
    std::vector<uint32_t> endedAtBox;
    int freesAtBox = -1;
    view.onBox = [&] {
        endedAtBox = driver.endedHandles;
        freesAtBox = driver.frees;
    };
    RefusingStarter refusing;
    {
        CTransferDlg transfer(
            {&driver, &clock, c.refuseThread ? &refusing : &SystemWorkerStarter()});
        transfer.context.filePath = path;
        transfer.context.modelIndex = kQ20;
        transfer.context.direction = c.direction;
        ASSERT_TRUE(view.RunModal(transfer));
        EXPECT_TRUE(transfer.IsClosed());
    }
    EXPECT_EQ(view.caption, "VELLORAN");
    EXPECT_EQ(view.status, c.direction == kDirectionSend ? kSending : kReceiving);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, UiText(c.textId) + c.suffix);
    EXPECT_EQ(view.boxes[0].caption, "VELLORAN");
    EXPECT_EQ(view.boxes[0].style, c.icon);
    EXPECT_EQ(view.boxesDuringInit, c.boxDuringInit ? 1 : 0);
    EXPECT_EQ(view.bar.steps, c.steps);
    EXPECT_EQ(view.bar.callsOffLoopThread, 0);
    EXPECT_EQ(view.endModals, 1);
    // The device is ended and the library freed after the box, not before.
    EXPECT_TRUE(endedAtBox.empty());
    EXPECT_EQ(freesAtBox, 0);
    EXPECT_EQ(driver.frees, driver.loads);
    EXPECT_EQ(driver.endedHandles.size(), driver.startIndices.size());
    if (c.direction != kDirectionSend) {
        EXPECT_FALSE(FileExists(path)) << "a failed receive leaves no file";
    }
}

void Nothing(FakeDriver&) {}

INSTANTIATE_TEST_SUITE_P(
    Paths, TransferRun,
    ::testing::Values(
        // Nine frames around one data frame.
        RunCase{"CompleteSend", kDirectionSend, &Nothing, 10, kQ20, false, 121, "", kSuccessIcon,
                false, 10},
        // Open, address, control 00, setup; the next address goes unanswered.
        RunCase{"SendInterrupted", kDirectionSend, &Nothing, 4, kQ20, false, 119, " (0xec 0x00)",
                kFailureIcon, false, 4},
        // Open and address; the first block never arrives.
        RunCase{"ReceiveInterrupted", kDirectionReceive, &Nothing, 2, -1, false, 120,
                " (0x21 0x00)", kFailureIcon, false, 2},
        RunCase{"SendWithoutLibrary", kDirectionSend, [](FakeDriver& d) { d.loadFails = true; }, 0,
                kQ20, false, 117, "", kFailureIcon, true, 0},
        RunCase{"ReceiveWithoutPrinter", kDirectionReceive,
                [](FakeDriver& d) { d.activeIndex = -1; }, 0, -1, false, 118, "", kFailureIcon,
                true, 0},
        RunCase{"AnyDirectionButSendIsAReceive", 5, [](FakeDriver& d) { d.startResult = 1; }, 0, -1,
                false, 118, "", kFailureIcon, true, 0},
        RunCase{"RefusedFile", kDirectionSend, &Nothing, 0, kQ30, false, 117, "", kFailureIcon,
                true, 0},
        RunCase{"WorkerCannotStart", kDirectionReceive, &Nothing, 0, -1, true, 115, "",
                kFailureIcon, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorBox {
    uint32_t outcomeId;
    FailureDetail detail;
    std::string text;
};

class ErrorBoxTest : public ::testing::TestWithParam<ErrorBox> {};

TEST_P(ErrorBoxTest, ShowsTheOutcomesTextWithItsCodeOnceThenCloses) {
    FakeDriver driver;
    FakeClock clock;
    FakeTransferView view;
    IdleStarter starter;
    CTransferDlg transfer({&driver, &clock, &starter});
    transfer.context.modelIndex = kQ20;
    transfer.OnInitDialog(view);
    ASSERT_TRUE(view.boxes.empty());
    transfer.OnBkupError(GetParam().outcomeId, GetParam().detail);
    transfer.OnBkupSuccess();  // a second outcome after the close shows nothing
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, GetParam().text);
    EXPECT_EQ(view.boxes[0].style, kFailureIcon);
    EXPECT_EQ(view.endModals, 1);
    EXPECT_EQ(driver.frees, driver.loads);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ErrorBoxTest,
                         ::testing::Values(ErrorBox{119, 0x500EB, UiText(119) + " (0xeb 0x05)"},
                                           ErrorBox{113, 0, kGenericError},
                                           ErrorBox{0, 0x21, kGenericError + " (0x21 0x00)"},
                                           ErrorBox{120, 0x80000021, UiText(120)}));

}  // namespace
}  // namespace velloran::testing
