// Complete transfers through the desktop program's real windows against the simulated
// printer, whose memory lives in a state file of raw image bytes (lmq20.mem): a receive
// gives that file's bytes, a send leaves the sent bytes in it. Runs in real time.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/scripted_dialogs.h"
#include "ui/help_launcher.h"
#include "ui/qt/main_window.h"
#include "ui/ui_text.h"

namespace velloran::testing {
namespace {

constexpr int kLmQ20 = 1;
constexpr uint32_t kImageAddress = 0x10008000;
constexpr uint32_t kImageLength = 0x28000;
constexpr int kSendRange = 2731 + 9;  // data frames plus the frames around them
constexpr int kReceiveRange = 20482;  // 0x28000 / 8 + 2
constexpr size_t kDataOffset = 16;
const char kMemoryFile[] = "lmq20.mem";

class NoHelp final : public HelpViewer {
  public:
    bool DisplayContents(const std::string&) override { return true; }
};

class DesktopTransferTest : public ::testing::Test {
  protected:
    DesktopTransferTest() {
        setenv("VELLORAN_SIM_STATE_DIR", state.Path().c_str(), 1);
        window.Initialise();
        window.show();
        qobject_cast<QComboBox*>(window.Control(IDC_MODEL))->setCurrentIndex(kLmQ20);
    }

    // Presses the button; returns when the transfer window has closed.
    void Press(int32_t button, const std::string& file) {
        dialogs.files = {QString::fromStdString(file)};
        qobject_cast<QPushButton*>(window.Control(button))->click();
    }

    void ExpectOneSuccessBoxWithAFullBar(size_t first, int range) {
        ASSERT_EQ(dialogs.boxes.size(), first + 2);  // confirmation, then the outcome
        const RecordedBox& outcome = dialogs.boxes[first + 1];
        EXPECT_EQ(outcome.text, QString::fromStdString(UiText(IDS_TRANSFER_DONE)));
        EXPECT_EQ(outcome.caption, "VELLORAN");
        EXPECT_EQ(outcome.style, kSuccessBoxStyle);
        EXPECT_TRUE(outcome.transferWindowVisible);
        EXPECT_EQ(outcome.barMaximum, range);
        EXPECT_EQ(outcome.barValue, range);
        EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
    }

    TempDir state;
    TempDir files;
    ScriptedDialogs dialogs;
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string(); }};
    MainWindow window{dialogs, help};
};

std::vector<uint8_t> Image(uint32_t seed) {
    std::vector<uint8_t> image(kImageLength);
    for (uint32_t i = 0; i < kImageLength; ++i) {
        image[i] = PatternByte(i, seed);
    }
    return image;
}

TEST_F(DesktopTransferTest, ReceiveWritesThePrintersMemoryIntoTheBackup) {
    const std::vector<uint8_t> memory = Image(3);
    WriteBytes(state.File(kMemoryFile), memory);
    const std::string received = files.File("received.vid");
    Press(IDC_RECEIVE, received);
    ExpectOneSuccessBoxWithAFullBar(0, kReceiveRange);

    const std::vector<uint8_t> bytes = ReadBytes(received);
    ASSERT_EQ(bytes.size(), kDataOffset + kImageLength);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), HeaderOf(kLmQ20));
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), bytes.begin() + kDataOffset));
    EXPECT_EQ(window.Logic().selection, kLmQ20);
}

TEST_F(DesktopTransferTest, SendWritesTheBackupIntoThePrintersMemory) {
    const std::string sent = files.File("sent.vid");
    const std::vector<uint8_t> backup =
        SingleRegionFile(HeaderOf(kLmQ20), kImageAddress, kImageLength, kImageLength, 7);
    WriteBytes(sent, backup);
    Press(IDC_SEND, sent);
    ExpectOneSuccessBoxWithAFullBar(0, kSendRange);

    const std::vector<uint8_t> memory = ReadBytes(state.File(kMemoryFile));
    ASSERT_EQ(memory.size(), kImageLength);
    EXPECT_TRUE(std::equal(backup.begin() + kDataOffset, backup.end(), memory.begin()));
    EXPECT_EQ(window.Logic().selection, kLmQ20);
}

}  // namespace
}  // namespace velloran::testing
