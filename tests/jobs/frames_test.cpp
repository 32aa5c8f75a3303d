#include "jobs/frames.h"

#include <gtest/gtest.h>

#include "tests/support/backup_builder.h"

namespace velloran::testing {
namespace {

// Each frame to the byte; the open, setup and target frames of the jobs are pinned where
// the jobs send them.
TEST(Frames, AreExactToTheByte) {
    const uint8_t data[3] = {0xA0, 0xA1, 0xA2};
    const std::pair<Frame, const char*> cases[] = {
        {AddressFrame(0x10000000), "02 ec 04 00 00 00 00 10"},
        {ControlFrame(0x00), "02 eb 00"},
        {ControlFrame(0x05), "02 eb 05"},
        {ControlFrame(0x07), "02 eb 07"},
        {SetupFrame(0x10008000, 0x28000), "02 eb 09 08 00 00 80 00 10 00 80 02 00"},
        {DataFrame(data, 1), "02 ed 01 00 a0"},
        {DataFrame(data, 3), "02 ed 03 00 a0 a1 a2"},
    };
    for (const auto& [frame, bytes] : cases) {
        EXPECT_EQ(std::vector<uint8_t>(frame.bytes.begin(), frame.bytes.begin() + frame.length),
                  Hex(bytes));
    }
}

}  // namespace
}  // namespace velloran::testing
