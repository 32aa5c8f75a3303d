// A complete send through the desktop program's real windows against the simulated
// printer, whose memory lives in a state file of raw image bytes (lmq20.mem): the send
// leaves the sent bytes in it. Runs in real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/backup_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/qt_harness.h"

namespace velloran::testing {
namespace {

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
    w.Press(kQ20, IDC_SEND, sent);

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

}  // namespace
}  // namespace velloran::testing
