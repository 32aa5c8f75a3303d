// The printer's frame protocol: which frames it takes in which order, and that what is
// written can be read back.

#include "sim_test_support.h"

namespace velloran::sim::test {
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
        WriteCase{"Q30Region2", &kHdv305, kSigQ30, 0x10EE0000, 0x10000, kWideSetup, kRead64},
        WriteCase{"Q30Region3", &kHdv305, kSigQ30, 0x10F20000, 0x10000, kWideSetup, kRead64},
        WriteCase{"Q30Region4", &kHdv305, kSigQ30, 0x10F60000, 0x2000, kWideSetup, kRead8},
        WriteCase{"Q30Region5", &kHdv305, kSigQ30, 0x10F80000, 0x2000, kWideSetup, kRead64},
        WriteCase{"Q30Region6", &kHdv305, kSigQ30, 0x10FA0000, 0x2000, kWideSetup, kRead8},
        WriteCase{"Q30SetupIsLength", &kHdv305, kSigQ30, kSmallStart, kSmallLength, kSmallLength,
                  kRead64}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    std::vector<Bytes> frames;  // all acked but the last, which is refused
};

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

class OutOfOrderTest : public SimTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(OutOfOrderTest, RefusesTheLastFrame) {
    const auto& frames = GetParam().frames;
    Open();
    EXPECT_EQ(SendAll(frames), frames.size() - 1);
    EXPECT_EQ(Write(frames.back()), kDriverOk);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutOfOrderTest,
    ::testing::Values(
        RefusalCase{"AddressBeforeOpen", {AddressFrame(kControl)}},
        RefusalCase{"TargetBeforeOpen", {AddressFrame(kSmallStart)}},
        RefusalCase{"Control00WithoutAddress", Prefix(1, ControlFrame(0x00))},
        RefusalCase{"Control07WithoutWrite", Prefix(2, ControlFrame(0x07))},
        RefusalCase{"SetupBeforeControl00", Prefix(2, SetupFrame(kSmallStart, kWideSetup))},
        RefusalCase{"AddressInsteadOfSetup", Prefix(3, AddressFrame(kControl))},
        RefusalCase{"SetupValueZero", Prefix(3, SetupFrame(kSmallStart, 0))},
        RefusalCase{"SetupTargetOutside", Prefix(3, SetupFrame(0x10E65000, kWideSetup))},
        RefusalCase{"Control05WithoutAddress", Prefix(4, ControlFrame(0x05))},
        RefusalCase{"DataBeforeTarget", Prefix(6, DataFrame(Pattern(60, 0)))},
        RefusalCase{"TargetNotTheSetOne", Prefix(6, AddressFrame(kSmallStart + 0x100))},
        RefusalCase{"CommitWithoutData", Prefix(7, AddressFrame(kControl))},
        RefusalCase{"DataAfterShortFrame", Prefix(9, DataFrame(Pattern(60, 0)), 70)},
        RefusalCase{"Control07BeforeAddress", Prefix(9, ControlFrame(0x07))},
        RefusalCase{"DataPastRegionEnd", OverrunRegion()}),
    [](const auto& info) { return std::string(info.param.name); });

struct MalformedCase {
    const char* name;
    size_t position;         // sent where this frame of the write is due
    std::vector<Bytes> bad;  // each refused; the write then goes on unharmed
};

class MalformedFrameTest : public SimTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedFrameTest, RefusedWithoutDisturbingTheWrite) {
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(100, 4));
    std::vector<Bytes> before(frames.begin(), frames.begin() + GetParam().position);
    std::vector<Bytes> after(frames.begin() + GetParam().position, frames.end());
    Open();
    ASSERT_EQ(SendAll(before), before.size());
    for (const Bytes& bad : GetParam().bad) {
        EXPECT_EQ(Send(bad), kRefuse) << ::testing::PrintToString(bad);
    }
    EXPECT_EQ(SendAll(after), after.size());
}

Bytes Cut(Bytes frame, size_t length) {
    frame.resize(length, 0x00);
    return frame;
}

Bytes Poke(Bytes frame, size_t at, uint8_t value) {
    frame[at] = value;
    return frame;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedFrameTest,
    ::testing::Values(
        MalformedCase{"OpenLength", 3, {Cut(OpenFrame(kSigQ30), 15), Cut(OpenFrame(kSigQ30), 17)}},
        MalformedCase{"OpenTrailer", 3, {Poke(OpenFrame(kSigQ30), 15, 1)}},
        MalformedCase{
            "AddressLength", 1, {Cut(AddressFrame(kControl), 7), Cut(AddressFrame(kControl), 9)}},
        MalformedCase{"AddressHeader", 1, {Poke(AddressFrame(kControl), 2, 5)}},
        MalformedCase{"ControlLength", 2, {{0x02, 0xEB}, {0x02, 0xEB, 0x00, 0x00}}},
        MalformedCase{"ControlCode", 2, {ControlFrame(0x03), ControlFrame(0x09)}},
        MalformedCase{"SetupLength",
                      3,
                      {Cut(SetupFrame(kSmallStart, kWideSetup), 12),
                       Cut(SetupFrame(kSmallStart, kWideSetup), 14)}},
        MalformedCase{"SetupHeader", 3, {Poke(SetupFrame(kSmallStart, kWideSetup), 3, 9)}},
        MalformedCase{"DataCount",
                      8,
                      {{0x02, 0xED, 0x00, 0x00},
                       Cut(DataFrame(Pattern(5, 0)), 8),
                       Cut(DataFrame(Pattern(5, 0)), 10)}},
        MalformedCase{"DataTooLong", 8, {Poke(DataFrame(Pattern(60, 0)), 2, 61)}},
        MalformedCase{"UnknownCommand", 7, {{0x02, 0xEE, 0x00}, {0x02, 0x01, 0x04, 0x00}}},
        MalformedCase{"NotAFrame", 7, {{0x03, 0xEC, 0x04, 0x00}, {0x02}, {0x22}, {0x06}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
    const char* name;
    const Library* library;
    Signature signature;
    uint32_t address;
    bool accepted;
};

class AddressRangeTest : public SimTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressRangeTest, AcceptsOnlyTheModelsMemory) {
    const AddressCase& c = GetParam();
    Open(*c.library);
    ASSERT_EQ(Send(OpenFrame(c.signature)), kAck);
    EXPECT_EQ(Send(AddressFrame(c.address)), c.accepted ? kAck : kRefuse);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AddressRangeTest,
    ::testing::Values(AddressCase{"Q30Control", &kHdv305, kSigQ30, kControl, true},
                      AddressCase{"Q30LastOfRegion0", &kHdv305, kSigQ30, 0x10E64FFF, true},
                      AddressCase{"Q30AfterRegion0", &kHdv305, kSigQ30, 0x10E65000, false},
                      AddressCase{"Q30BeforeRegion0", &kHdv305, kSigQ30, 0x10E5FFFF, false},
                      AddressCase{"Q30LastOfRegion6", &kHdv305, kSigQ30, 0x10FA1FFF, true},
                      AddressCase{"Q30AfterRegion6", &kHdv305, kSigQ30, 0x10FA2000, false},
                      AddressCase{"Q30OtherModelsBank", &kHdv305, kSigQ30, kBankStart, false},
                      AddressCase{"Q20BankEnd", &kHdv305, kSigQ20, 0x1002FFFF, true},
                      AddressCase{"Q20PastBank", &kHdv305, kSigQ20, 0x10030000, false},
                      AddressCase{"Q20BeforeBank", &kHdv305, kSigQ20, 0x10007FFF, false},
                      AddressCase{"Q20Q30Region", &kHdv305, kSigQ20, 0x10E60000, false},
                      AddressCase{"Q10Zero", &kHdv201, kSigQ10, 0, false},
                      AddressCase{"Q10InsideBank", &kHdv201, kSigQ10, 0x10010001, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct SignatureCase {
    const char* name;
    const Library* library;
    const char* forcedModel;  // VELLORAN_SIM_MODEL, or nullptr
    Signature signature;
    bool accepted;
};

class SignatureTest : public SimTest, public ::testing::WithParamInterface<SignatureCase> {};

TEST_P(SignatureTest, OpensOnlyModelsTheLibraryServesAndMayAnswerAs) {
    if (GetParam().forcedModel != nullptr) {
        SetEnv("VELLORAN_SIM_MODEL", GetParam().forcedModel);
    }
    Open(*GetParam().library);
    EXPECT_EQ(Send(OpenFrame(GetParam().signature)), GetParam().accepted ? kAck : kRefuse);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SignatureTest,
    ::testing::Values(
        SignatureCase{"Hdv305Q30", &kHdv305, nullptr, kSigQ30, true},
        SignatureCase{"Hdv305Q20", &kHdv305, nullptr, kSigQ20, true},
        SignatureCase{"Hdv305Q10", &kHdv305, nullptr, kSigQ10, false},
        SignatureCase{"Hdv201Q10", &kHdv201, nullptr, kSigQ10, true},
        SignatureCase{"Hdv201Q30", &kHdv201, nullptr, kSigQ30, false},
        SignatureCase{"Hdv201Q20", &kHdv201, nullptr, kSigQ20, false},
        SignatureCase{"Unknown", &kHdv305, nullptr, {0x01, 0x06, 0x01, 0x02, 0, 0}, false},
        SignatureCase{"ForcedQ20TakesQ20", &kHdv305, "LM-Q20", kSigQ20, true},
        SignatureCase{"ForcedQ20RefusesQ30", &kHdv305, "LM-Q20", kSigQ30, false},
        SignatureCase{"ForcedQ30TakesQ30", &kHdv305, "LM-Q30", kSigQ30, true},
        SignatureCase{"ForcedElsewhereRefusesQ10", &kHdv201, "LM-Q30", kSigQ10, false},
        SignatureCase{"ForcedUnknownIgnored", &kHdv305, "LM-Q99", kSigQ30, true}),
    [](const auto& info) { return std::string(info.param.name); });

using ReadRequestTest = SimTest;

TEST_F(ReadRequestTest, SilentPastTheRegionEndAndOutsideTheReceiveFlow) {
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ30)), kAck);
    EXPECT_TRUE(Collect(0).empty());
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    EXPECT_TRUE(Collect(8).empty()) << "no address yet";
    ASSERT_EQ(Send(AddressFrame(kSmallStart + kSmallLength - 8)), kAck);
    ASSERT_EQ(Write({kRead64}), kDriverOk);
    EXPECT_TRUE(Collect(64).empty()) << "64 bytes would pass the end";
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    EXPECT_EQ(Collect(8).size(), 8u);
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    EXPECT_TRUE(Collect(8).empty()) << "at the end";
    ASSERT_EQ(Send(AddressFrame(kControl)), kAck);
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    EXPECT_TRUE(Collect(8).empty()) << "pointer at the control register";
}

}  // namespace
}  // namespace velloran::sim::test
