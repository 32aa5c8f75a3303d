#include "jobs/frames.h"

#include <gtest/gtest.h>

#include "jobs/write_sequence.h"

namespace velloran {
namespace {

std::vector<uint8_t> Bytes(const Frame& frame) {
    return {frame.bytes.begin(), frame.bytes.begin() + frame.length};
}

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
        FrameCase{"SetupMultiRegion",
                  SetupFrame(0x10E60000, kMultiRegionSetupValue),
                  {0x02, 0xEB, 0x09, 0x08, 0x00, 0x00, 0x00, 0xE6, 0x10, 0x00, 0x00, 0x02, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataFrame, CarriesItsCountAndBytesInOrder) {
    uint8_t data[60];
    for (uint8_t i = 0; i < 60; ++i) {
        data[i] = static_cast<uint8_t>(0xA0 + i);
    }
    const Frame full = DataFrame(data, 60);
    EXPECT_EQ(full.length, 64u);
    EXPECT_EQ(std::vector<uint8_t>(full.bytes.begin(), full.bytes.begin() + 4),
              (std::vector<uint8_t>{0x02, 0xED, 0x3C, 0x00}));
    EXPECT_EQ(std::vector<uint8_t>(full.bytes.begin() + 4, full.bytes.end()),
              std::vector<uint8_t>(data, data + 60));
    EXPECT_EQ(Bytes(DataFrame(data, 1)), (std::vector<uint8_t>{0x02, 0xED, 0x01, 0x00, 0xA0}));
}

TEST(FailureDetails, CombineCommandByteAndSubCode) {
    EXPECT_EQ(kDetailControlAddressFrame, 0x000000ECu);
    EXPECT_EQ(kDetailTargetAddressFrame, 0x000100ECu);
    EXPECT_EQ(kDetailControlBegin, 0x000000EBu);
    EXPECT_EQ(kDetailSetupFrame, 0x000900EBu);
    EXPECT_EQ(kDetailControlPrepare, 0x000500EBu);
    EXPECT_EQ(kDetailControlFinish, 0x000700EBu);
    EXPECT_EQ(kDetailDataFrame, 0x000000EDu);
    EXPECT_EQ(kDetailRead8, 0x20u);
    EXPECT_EQ(kDetailRead64, 0x21u);
}

struct SequenceCase {
    uint32_t length;
    uint32_t frames;
    uint32_t lastDataLength;
};

class WriteSequenceShape : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(WriteSequenceShape, HasNinePlusOneFramePerChunk) {
    const SequenceCase& c = GetParam();
    const WriteSequence sequence(kModelCatalogue[1].Signature(), 0x10008000, c.length, c.length);
    EXPECT_EQ(sequence.FrameCount(), c.frames);
    EXPECT_EQ(WriteSequenceFrameCount(c.length), c.frames);
    const WriteStep last = sequence.StepAt(c.frames - 3);
    ASSERT_TRUE(last.isData);
    EXPECT_EQ(last.dataLength, c.lastDataLength);
    EXPECT_EQ(last.dataOffset + last.dataLength, c.length);
}

INSTANTIATE_TEST_SUITE_P(Lengths, WriteSequenceShape,
                         ::testing::Values(SequenceCase{0x28000, 2740, 40}, SequenceCase{1, 10, 1},
                                           SequenceCase{60, 10, 60}, SequenceCase{61, 11, 1},
                                           SequenceCase{120, 11, 60},
                                           SequenceCase{0x5000, 351, 20}));

TEST(WriteSequenceOrder, SendsTheFixedFramesAroundTheData) {
    const WriteSequence sequence(kModelCatalogue[0].Signature(), 0x10EE0000, kMultiRegionSetupValue,
                                 100);
    const std::vector<std::vector<uint8_t>> expectedFrames = {
        Bytes(OpenFrame(kModelCatalogue[0].Signature())),
        Bytes(AddressFrame(kControlAddress)),
        Bytes(ControlFrame(kControlBegin)),
        Bytes(SetupFrame(0x10EE0000, kMultiRegionSetupValue)),
        Bytes(AddressFrame(kControlAddress)),
        Bytes(ControlFrame(kControlPrepare)),
        Bytes(AddressFrame(0x10EE0000)),
    };
    const FailureDetail details[] = {0,
                                     kDetailControlAddressFrame,
                                     kDetailControlBegin,
                                     kDetailSetupFrame,
                                     kDetailControlAddressFrame,
                                     kDetailControlPrepare,
                                     kDetailTargetAddressFrame};
    ASSERT_EQ(sequence.FrameCount(), 11u);
    for (uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(Bytes(sequence.StepAt(i).frame), expectedFrames[i]) << i;
        EXPECT_EQ(sequence.StepAt(i).detail, details[i]) << i;
        EXPECT_FALSE(sequence.StepAt(i).isData);
    }
    EXPECT_TRUE(sequence.StepAt(0).isOpen);
    EXPECT_EQ(sequence.StepAt(8).dataOffset, 60u);
    EXPECT_EQ(sequence.StepAt(8).dataLength, 40u);
    EXPECT_EQ(sequence.StepAt(8).detail, kDetailDataFrame);
    EXPECT_EQ(Bytes(sequence.StepAt(9).frame), Bytes(AddressFrame(kControlAddress)));
    EXPECT_EQ(sequence.StepAt(9).detail, kDetailControlAddressFrame);
    EXPECT_EQ(Bytes(sequence.StepAt(10).frame), Bytes(ControlFrame(kControlFinish)));
    EXPECT_EQ(sequence.StepAt(10).detail, kDetailControlFinish);
}

}  // namespace
}  // namespace velloran
