// The simulated printer's frame protocol: which frames it takes in which order, what it
// refuses, what it reads back, the faults the other suites ask it for, and memory that
// outlives the device.

#include <filesystem>

#include "sim_test_support.h"

namespace velloran::testing {
namespace {

struct WriteCase {
    const char* name;
    const Library* library;
    Signature signature;
    uint32_t target;
    uint32_t length;
    uint32_t setup;
    uint8_t request;
};

class WriteSequenceTest : public SimTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteSequenceTest, AcceptsEveryFrameAndReadsBackTheData) {
    const WriteCase& c = GetParam();
    Open(*c.library);
    Bytes data = Pattern(c.length, static_cast<uint8_t>(c.target >> 16));
    auto frames = WriteSequence(c.signature, c.target, c.setup, data);
    ASSERT_EQ(SendAll(frames), frames.size());
    EXPECT_EQ(ReadRegion(c.signature, c.target, c.length, c.request), data);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriteSequenceTest,
    ::testing::Values(
        WriteCase{"Q20WholeBank", &kHdv305, kSigQ20, kBankStart, kBankLength, kBankLength, kRead64},
        WriteCase{"Q10WholeBank", &kHdv201, kSigQ10, kBankStart, kBankLength, kBankLength, kRead8},
        WriteCase{"Q30Region0", &kHdv305, kSigQ30, 0x10E60000, 0x5000, kWideSetup, kRead64},
        WriteCase{"Q30Region1", &kHdv305, kSigQ30, 0x10EA0000, 0x2800, kWideSetup, kRead8},
        WriteCase{"Q30Region6", &kHdv305, kSigQ30, 0x10FA0000, 0x2000, kWideSetup, kRead8},
        WriteCase{"Q30SetupIsLength", &kHdv305, kSigQ30, kSmallStart, kSmallLength, kSmallLength,
                  kRead64}),
    [](const auto& info) { return std::string(info.param.name); });

// The first `count` frames of a write of `length` bytes, then `then`.
std::vector<Bytes> Prefix(size_t count, const Bytes& then, size_t length = 120) {
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(length, 1));
    frames.resize(count);
    frames.push_back(then);
    return frames;
}

std::vector<Bytes> OverrunRegion() {
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(136 * 60, 2));
    frames.resize(frames.size() - 2);
    frames.push_back(DataFrame(Pattern(60, 3)));
    return frames;
}

Bytes Cut(Bytes frame, size_t length) {
    frame.resize(length, 0x00);
    return frame;
}

struct RefusalCase {
    const char* name;
    std::vector<Bytes> frames;  // all acknowledged but the last, which is refused
};

class RefusedFrameTest : public SimTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedFrameTest, AcknowledgesAllButTheLast) {
    const auto& frames = GetParam().frames;
    Open();
    EXPECT_EQ(SendAll(frames), frames.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedFrameTest,
    ::testing::Values(
        RefusalCase{"AddressBeforeOpen", {AddressFrame(kControl)}},
        RefusalCase{"Control07WithoutWrite", Prefix(2, ControlFrame(0x07))},
        RefusalCase{"SetupBeforeControl00", Prefix(2, SetupFrame(kSmallStart, kWideSetup))},
        RefusalCase{"SetupValueZero", Prefix(3, SetupFrame(kSmallStart, 0))},
        RefusalCase{"SetupTargetOutside", Prefix(3, SetupFrame(0x10E65000, kWideSetup))},
        RefusalCase{"DataBeforeTarget", Prefix(6, DataFrame(Pattern(60, 0)))},
        RefusalCase{"TargetNotTheSetOne", Prefix(6, AddressFrame(kSmallStart + 0x100))},
        RefusalCase{"CommitWithoutData", Prefix(7, AddressFrame(kControl))},
        RefusalCase{"DataAfterShortFrame", Prefix(9, DataFrame(Pattern(60, 0)), 70)},
        RefusalCase{"DataPastRegionEnd", OverrunRegion()},
        RefusalCase{"OpenTooShort", {Cut(OpenFrame(kSigQ30), 15)}},
        RefusalCase{"AddressTooLong", Prefix(1, Cut(AddressFrame(kControl), 9))},
        RefusalCase{"UnknownControlCode", Prefix(2, ControlFrame(0x03))},
        RefusalCase{"DataCountWrong", Prefix(7, Cut(DataFrame(Pattern(5, 0)), 8))},
        RefusalCase{"NotAFrame", Prefix(7, {0x03, 0xEC, 0x04, 0x00})},
        RefusalCase{"Q20OutsideItsBank", {OpenFrame(kSigQ20), AddressFrame(0x10030000)}},
        RefusalCase{"Q20InAQ30Region", {OpenFrame(kSigQ20), AddressFrame(0x10E60000)}},
        RefusalCase{"Q30AfterRegion0", {OpenFrame(kSigQ30), AddressFrame(0x10E65000)}},
        RefusalCase{"Q30InTheBank", {OpenFrame(kSigQ30), AddressFrame(kBankStart)}},
        RefusalCase{"UnknownSignature", {OpenFrame({0x01, 0x06, 0x01, 0x02, 0, 0})}},
        RefusalCase{"Hdv305RefusesQ10", {OpenFrame(kSigQ10)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimTest, Hdv201ServesOnlyTheLmQ10) {
    Open(kHdv201);
    EXPECT_EQ(Send(OpenFrame(kSigQ30)), kRefuse);
    EXPECT_EQ(Send(OpenFrame(kSigQ20)), kRefuse);
    EXPECT_EQ(Send(OpenFrame(kSigQ10)), kAck);
}

TEST_F(SimTest, ForcedModelAnswersOnlyAsThatModel) {
    SetEnv("VELLORAN_SIM_MODEL", "LM-Q20");
    Open();
    EXPECT_EQ(Send(OpenFrame(kSigQ30)), kRefuse);
    EXPECT_EQ(Send(OpenFrame(kSigQ20)), kAck);
}

TEST_F(SimTest, ReadRequestsStaySilentPastTheRegionEnd) {
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ30)), kAck);
    ASSERT_EQ(Send(AddressFrame(kSmallStart + kSmallLength - 8)), kAck);
    ASSERT_EQ(Write({kRead64}), kDriverOk);
    EXPECT_TRUE(Collect(64).empty()) << "64 bytes would pass the end";
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    EXPECT_EQ(Collect(8).size(), 8u);
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    EXPECT_TRUE(Collect(8).empty()) << "at the end";
}

TEST_F(SimTest, OneDeviceAtATimeAndStaleHandlesRefused) {
    Open();
    uint32_t second = 0;
    EXPECT_NE(Driver().StartDevice(&second, 0), kDriverOk);
    const uint32_t stale = Handle();
    Close();
    EXPECT_NE(Driver().UsbWrite(stale, &kRead8, 1), kDriverOk);
    EXPECT_NE(Driver().EndDevice(stale), kDriverOk);
}

struct FaultCase {
    const char* name;
    const char* variable;
    const char* value;
    size_t refused;  // the first frame of a 120-byte write not acknowledged
};

class FaultTest : public SimTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, StopsTheWriteAtTheChosenFrame) {
    SetEnv(GetParam().variable, GetParam().value);
    Open();
    EXPECT_EQ(SendAll(WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(120, 7))),
              GetParam().refused);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FaultTest,
    ::testing::Values(FaultCase{"Frame9", "VELLORAN_SIM_REFUSE_FRAME", "9", 8},
                      FaultCase{"Setup", "VELLORAN_SIM_REFUSE_KIND", "setup", 3},
                      FaultCase{"SecondData", "VELLORAN_SIM_REFUSE_KIND", "data:2", 8},
                      FaultCase{"Control07", "VELLORAN_SIM_REFUSE_KIND", "control07", 10},
                      FaultCase{"SilentFrom5", "VELLORAN_SIM_SILENT_FROM", "5", 4},
                      FaultCase{"InvalidValueIgnored", "VELLORAN_SIM_REFUSE_FRAME", "2x", 11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimTest, MemoryIsWrittenAtCommitAndOutlivesTheLibrary) {
    const Bytes data = Pattern(kSmallLength, 9);
    Open();
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, data);
    ASSERT_EQ(SendAll({frames.begin(), frames.end() - 1}), frames.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(StatePath("lmq30.mem"))) << "before the commit";
    ASSERT_EQ(Send(frames.back()), kAck);
    EXPECT_EQ(std::filesystem::file_size(StatePath("lmq30.mem")),
              0x5000u + 0x2800u + 2 * 0x10000u + 3 * 0x2000u);
    Close(/*unload=*/true);
    Open();
    EXPECT_EQ(ReadRegion(kSigQ30, kSmallStart, kSmallLength, kRead64), data);
}

}  // namespace
}  // namespace velloran::testing
