// The real simulated printer library, loaded through the production loader by plain
// name (the test's LD_LIBRARY_PATH points at it), driven frame by frame.
#include <gtest/gtest.h>

#include "catalogue/backup_layout.h"
#include "jobs/frames.h"
#include "jobs/write_sequence.h"
#include "link/frame_exchange.h"
#include "tests/support/fake_clock.h"
#include "tests/support/sim_environment.h"

namespace velloran {
namespace {

using testing::CountingLoader;
using testing::SimEnvironment;

struct OpenLink {
    explicit OpenLink(CountingLoader& loader, uint32_t model) : link(loader) {
        EXPECT_EQ(link.Bind(model), 1);
        EXPECT_EQ(link.Connect(), 1);
    }
    ~OpenLink() {
        link.Release();
        link.Unbind();
    }
    bool Send(const Frame& frame) {
        return SendFrame(link, clock, frame.data(), frame.length) == 1;
    }
    CDeviceLink link;
    testing::FakeClock clock;
};

std::vector<uint8_t> Pattern(uint32_t length) {
    std::vector<uint8_t> bytes(length);
    for (uint32_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    }
    return bytes;
}

// Writes `data` at `target` with a full write sequence, then reads it back in a later
// session, as a receive would.
void WriteThenReadBack(uint32_t model, uint32_t target, uint32_t setup,
                       const std::vector<uint8_t>& data, bool wide) {
    CountingLoader loader;
    const ModelSignature signature = kModelCatalogue[model].Signature();
    {
        OpenLink open(loader, model);
        const WriteSequence sequence(signature, target, setup, static_cast<uint32_t>(data.size()));
        for (uint32_t i = 0; i < sequence.FrameCount(); ++i) {
            const WriteStep step = sequence.StepAt(i);
            const Frame frame =
                step.isData ? DataFrame(&data[step.dataOffset], step.dataLength) : step.frame;
            ASSERT_TRUE(open.Send(frame)) << "frame " << i;
        }
    }
    OpenLink open(loader, model);
    ASSERT_TRUE(open.Send(OpenFrame(signature)));
    ASSERT_TRUE(open.Send(AddressFrame(target)));
    const uint32_t block = wide ? kWideBlock : kSmallBlock;
    std::vector<uint8_t> back(block);
    for (uint32_t offset = 0; offset < data.size(); offset += block) {
        const int got = wide ? ReadBlock64(open.link, open.clock, back.data())
                             : ReadBlock8(open.link, open.clock, back.data());
        ASSERT_EQ(got, 1) << offset;
        ASSERT_EQ(std::vector<uint8_t>(back.begin(), back.end()),
                  std::vector<uint8_t>(data.begin() + offset, data.begin() + offset + block))
            << offset;
    }
    EXPECT_EQ(loader.loads, 2);
}

TEST(SimDriver, SingleRegionImageWrittenIsReadBackInALaterSession) {
    SimEnvironment sim;
    WriteThenReadBack(1, 0x10008000, 0x28000, Pattern(0x28000), true);
}

TEST(SimDriver, MultiRegionRegionWrittenIsReadBackInEightByteBlocks) {
    SimEnvironment sim;
    WriteThenReadBack(0, 0x10F60000, kMultiRegionSetupValue, Pattern(0x2000), false);
}

TEST(SimDriver, RefusesAnOpenFrameOfAModelItDoesNotServe) {
    SimEnvironment sim;
    CountingLoader loader;
    OpenLink open(loader, 2);  // Hdv201 serves LM-Q10 only
    EXPECT_FALSE(open.Send(OpenFrame(kModelCatalogue[1].Signature())));
    EXPECT_TRUE(open.Send(OpenFrame(kModelCatalogue[2].Signature())));
}

}  // namespace
}  // namespace velloran
