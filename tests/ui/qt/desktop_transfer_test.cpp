// Complete transfers through the desktop program's real windows against the simulated
// printer, whose memory lives in a state file of raw image bytes (lmq30.mem: the seven
// regions one after the other; lmq20.mem): a receive gives that file's bytes, a send
// leaves the sent bytes in it. Runs in real time.
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

constexpr uint32_t kImageAddress = 0x10008000;
constexpr uint32_t kImageLength = 0x28000;
constexpr int kSendRange = 2731 + 9;    // data frames plus the frames around them
constexpr int kQ30ReceiveRange = 2927;  // the seven regions' blocks and their heads
constexpr uint32_t kQ30MemoryLength = 0x2D800;
constexpr size_t kDataOffset = 16;

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
    }

    // Chooses the model and presses the button; returns when the transfer window has closed.
    void Press(int32_t model, int32_t button, const std::string& file) {
        qobject_cast<QComboBox*>(window.Control(IDC_MODEL))->setCurrentIndex(model);
        dialogs.files = {QString::fromStdString(file)};
        qobject_cast<QPushButton*>(window.Control(button))->click();
    }

    void ExpectOneSuccessBox(size_t first, int range, int position) {
        ASSERT_EQ(dialogs.boxes.size(), first + 2);  // confirmation, then the outcome
        const RecordedBox& outcome = dialogs.boxes[first + 1];
        EXPECT_EQ(outcome.text, QString::fromStdString(UiText(IDS_TRANSFER_DONE)));
        EXPECT_EQ(outcome.caption, "VELLORAN");
        EXPECT_EQ(outcome.style, 0x40u);
        EXPECT_TRUE(outcome.transferWindowVisible);
        EXPECT_EQ(outcome.barMaximum, range);
        EXPECT_EQ(outcome.barValue, position);
        EXPECT_EQ(ScriptedDialogs::VisibleTransferWindow(), nullptr);
    }

    TempDir state;
    TempDir files;
    ScriptedDialogs dialogs;
    NoHelp viewer;
    HelpLauncher help{viewer, [] { return std::string(); }};
    MainWindow window{dialogs, help};
};

std::vector<uint8_t> Image(uint32_t length, uint32_t seed) {
    std::vector<uint8_t> image(length);
    for (uint32_t i = 0; i < length; ++i) {
        image[i] = PatternByte(i, seed);
    }
    return image;
}

TEST_F(DesktopTransferTest, ReceiveWritesThePrintersMemoryIntoTheBackup) {
    const std::vector<uint8_t> memory = Image(kQ30MemoryLength, 3);
    WriteBytes(state.File("lmq30.mem"), memory);
    const std::string received = files.File("received.vid");
    Press(kQ30, IDC_RECEIVE, received);
    // The range has room for seven steps more than the 2920 exchanges of 64-byte blocks.
    ExpectOneSuccessBox(0, kQ30ReceiveRange, 2920);

    const std::vector<uint8_t> bytes = ReadBytes(received);
    ASSERT_EQ(bytes.size(), 186432u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16),
              (std::vector<uint8_t>{0x01, 0x06, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xE6, 0x10, 0x00, 0x50, 0x00, 0x00}));
    // Without the seven record heads the file holds the memory as it is.
    std::vector<uint8_t> data;
    const uint32_t lengths[7] = {0x5000, 0x2800, 0x10000, 0x10000, 0x2000, 0x2000, 0x2000};
    size_t offset = 8;
    for (const uint32_t length : lengths) {
        offset += 8;
        data.insert(data.end(), bytes.begin() + offset, bytes.begin() + offset + length);
        offset += length;
    }
    EXPECT_TRUE(data == memory);
    EXPECT_EQ(window.Logic().selection, kQ30);
}

TEST_F(DesktopTransferTest, SendWritesTheBackupIntoThePrintersMemory) {
    const std::string sent = files.File("sent.vid");
    const std::vector<uint8_t> backup =
        SingleRegionFile(HeaderOf(kQ20), kImageAddress, kImageLength, kImageLength, 7);
    WriteBytes(sent, backup);
    Press(kQ20, IDC_SEND, sent);
    ExpectOneSuccessBox(0, kSendRange, kSendRange);

    const std::vector<uint8_t> memory = ReadBytes(state.File("lmq20.mem"));
    ASSERT_EQ(memory.size(), kImageLength);
    EXPECT_TRUE(std::equal(backup.begin() + kDataOffset, backup.end(), memory.begin()));
    EXPECT_EQ(window.Logic().selection, kQ20);
}

}  // namespace
}  // namespace velloran::testing
