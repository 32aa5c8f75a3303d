#include "jobs/frames.h"

#include <gtest/gtest.h>

#include "catalogue/model_catalogue.h"

namespace velloran::testing {
namespace {

std::vector<uint8_t> Bytes(const Frame& frame) {
    return {frame.bytes.begin(), frame.bytes.begin() + frame.length};
}

const uint8_t kData[3] = {0xA0, 0xA1, 0xA2};

struct FrameCase {
    const char* name;
    Frame frame;
    std::vector<uint8_t> expected;
};

class FrameBytes : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameBytes, AreExactToTheByte) {
    EXPECT_EQ(Bytes(GetParam().frame), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameBytes,
    ::testing::Values(
        FrameCase{"OpenQ10",
                  OpenFrame(kModelCatalogue[2].Signature()),
                  {0x02, 0x02, 0x04, 0x00, 0x00, 0x03, 0x09, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}},
        FrameCase{"OpenQ30",
                  OpenFrame(kModelCatalogue[0].Signature()),
                  {0x02, 0x02, 0x04, 0x00, 0x01, 0x06, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}},
        FrameCase{"AddressControl",
                  AddressFrame(kControlAddress),
                  {0x02, 0xEC, 0x04, 0x00, 0x00, 0x00, 0x00, 0x10}},
        FrameCase{"AddressImage",
                  AddressFrame(0x10008000),
                  {0x02, 0xEC, 0x04, 0x00, 0x00, 0x80, 0x00, 0x10}},
        FrameCase{"ControlBegin", ControlFrame(kControlBegin), {0x02, 0xEB, 0x00}},
        FrameCase{"ControlPrepare", ControlFrame(kControlPrepare), {0x02, 0xEB, 0x05}},
        FrameCase{"ControlFinish", ControlFrame(kControlFinish), {0x02, 0xEB, 0x07}},
        FrameCase{"SetupSingleRegion",
                  SetupFrame(0x10008000, 0x28000),
                  {0x02, 0xEB, 0x09, 0x08, 0x00, 0x00, 0x80, 0x00, 0x10, 0x00, 0x80, 0x02, 0x00}},
        FrameCase{"DataOneByte", DataFrame(kData, 1), {0x02, 0xED, 0x01, 0x00, 0xA0}},
        FrameCase{
            "DataThreeBytes", DataFrame(kData, 3), {0x02, 0xED, 0x03, 0x00, 0xA0, 0xA1, 0xA2}},
        FrameCase{"SetupMultiRegion",
                  SetupFrame(0x10E60000, kMultiRegionSetupValue),
                  {0x02, 0xEB, 0x09, 0x08, 0x00, 0x00, 0x00, 0xE6, 0x10, 0x00, 0x00, 0x02, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::testing
