// Faults and identities chosen through the environment when the device starts.

#include <fstream>

#include "sim_test_support.h"

namespace velloran::sim::test {
namespace {

// A write of 120 bytes: open, address, control00, setup, address, control05, target,
// data, data, address, control07.
std::vector<Bytes> ShortWrite() {
    return WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(120, 7));
}

struct RefusalCase {
    const char* name;
    const char* variable;
    const char* value;
    size_t refused;  // index in ShortWrite()
};

class ForcedRefusalTest : public SimTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ForcedRefusalTest, RefusesThatFrameOnlyAndKeepsTheState) {
    SetEnv(GetParam().variable, GetParam().value);
    Open();
    auto frames = ShortWrite();
    ASSERT_EQ(SendAll(frames), GetParam().refused);
    EXPECT_EQ(Send(frames[GetParam().refused]), kAck) << "the same frame again";
    std::vector<Bytes> rest(frames.begin() + GetParam().refused + 1, frames.end());
    EXPECT_EQ(SendAll(rest), rest.size());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ForcedRefusalTest,
    ::testing::Values(RefusalCase{"Frame1", "VELLORAN_SIM_REFUSE_FRAME", "1", 0},
                      RefusalCase{"Frame9", "VELLORAN_SIM_REFUSE_FRAME", "9", 8},
                      RefusalCase{"Open", "VELLORAN_SIM_REFUSE_KIND", "open", 0},
                      RefusalCase{"Address", "VELLORAN_SIM_REFUSE_KIND", "address", 1},
                      RefusalCase{"Control00", "VELLORAN_SIM_REFUSE_KIND", "control00", 2},
                      RefusalCase{"Setup", "VELLORAN_SIM_REFUSE_KIND", "setup", 3},
                      RefusalCase{"SecondAddress", "VELLORAN_SIM_REFUSE_KIND", "address:2", 4},
                      RefusalCase{"Control05", "VELLORAN_SIM_REFUSE_KIND", "control05", 5},
                      RefusalCase{"Target", "VELLORAN_SIM_REFUSE_KIND", "target", 6},
                      RefusalCase{"Data", "VELLORAN_SIM_REFUSE_KIND", "data", 7},
                      RefusalCase{"SecondData", "VELLORAN_SIM_REFUSE_KIND", "data:2", 8},
                      RefusalCase{"ThirdAddress", "VELLORAN_SIM_REFUSE_KIND", "address:3", 9},
                      RefusalCase{"Control07", "VELLORAN_SIM_REFUSE_KIND", "control07", 10}),
    [](const auto& info) { return std::string(info.param.name); });

class ReadRefusalTest : public SimTest, public ::testing::WithParamInterface<const char*> {};

// Exchanges: open, address, read8, read64, read8, read64.
TEST_P(ReadRefusalTest, SilencesOnlyTheChosenReadRequest) {
    SetEnv(GetParam()[0] == 'r' ? "VELLORAN_SIM_REFUSE_KIND" : "VELLORAN_SIM_REFUSE_FRAME",
           GetParam());
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ20)), kAck);
    ASSERT_EQ(Send(AddressFrame(kBankStart)), kAck);
    std::vector<size_t> sizes;
    for (uint8_t request : {kRead8, kRead64, kRead8, kRead64}) {
        ASSERT_EQ(Write({request}), kDriverOk);
        sizes.push_back(Collect(request == kRead8 ? 8 : 64).size());
    }
    std::vector<size_t> expected = {8, 64, 8, 64};
    expected[std::string(GetParam()) == "read64" ? 1 : 2] = 0;
    EXPECT_EQ(sizes, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadRefusalTest, ::testing::Values("read64", "read8:2", "5"));

using FaultTest = SimTest;

TEST_F(FaultTest, SilentFromAnExchangeOn) {
    SetEnv("VELLORAN_SIM_SILENT_FROM", "3");
    Open();
    auto frames = ShortWrite();
    ASSERT_EQ(Send(frames[0]), kAck);
    ASSERT_EQ(Write(frames[1]), kDriverOk) << "answered, but the answer is never read";
    ASSERT_EQ(Write(frames[2]), kDriverOk);
    EXPECT_TRUE(Collect(1).empty()) << "nothing once silent, not even an older answer";
    EXPECT_EQ(Send(frames[3]), std::nullopt);
}

TEST_F(FaultTest, FailedWriteTakesNoFrame) {
    SetEnv("VELLORAN_SIM_FAIL_WRITE", "2");
    Open();
    auto frames = ShortWrite();
    ASSERT_EQ(Send(frames[0]), kAck);
    EXPECT_NE(Write(frames[1]), kDriverOk);
    EXPECT_TRUE(Collect(1).empty());
    frames.erase(frames.begin());
    EXPECT_EQ(SendAll(frames), frames.size());
}

class LateReadsTest : public SimTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(LateReadsTest, EveryReplyWaitsThatManyEmptyReads) {
    SetEnv("VELLORAN_SIM_LATE_READS", std::to_string(GetParam()));
    Open();
    for (const Bytes& frame : {OpenFrame(kSigQ20), AddressFrame(kBankStart), Bytes{kRead8}}) {
        ASSERT_EQ(Write(frame), kDriverOk);
        Bytes got;
        for (uint32_t i = 0; i < GetParam(); ++i) {
            ASSERT_EQ(ReadOnce(64, got), kDriverOk);
        }
        EXPECT_TRUE(got.empty());
        ASSERT_EQ(ReadOnce(64, got), kDriverOk);
        EXPECT_EQ(got.size(), frame.size() == 1 ? 8u : 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LateReadsTest, ::testing::Values(1u, 4u));

TEST_F(FaultTest, SplitDeliversAtMostThatManyBytesPerRead) {
    SetEnv("VELLORAN_SIM_SPLIT", "5");
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ20)), kAck);
    ASSERT_EQ(Send(AddressFrame(kBankStart)), kAck);
    ASSERT_EQ(Write({kRead64}), kDriverOk);
    Bytes got;
    std::vector<size_t> slices;
    while (got.size() < 64 && slices.size() < 20) {
        size_t before = got.size();
        ASSERT_EQ(ReadOnce(64, got), kDriverOk);
        slices.push_back(got.size() - before);
    }
    EXPECT_EQ(slices.size(), 13u);
    EXPECT_EQ(*std::max_element(slices.begin(), slices.end()), 5u);
}

TEST_F(FaultTest, PadPrecedesAnswersButNotData) {
    SetEnv("VELLORAN_SIM_PAD", "2");
    Open();
    ASSERT_EQ(Write(OpenFrame(kSigQ20)), kDriverOk);
    EXPECT_EQ(Collect(3), (Bytes{0x00, 0x00, kAck}));
    ASSERT_EQ(Write(AddressFrame(0x10030000)), kDriverOk);
    EXPECT_EQ(Collect(3), (Bytes{0x00, 0x00, kRefuse}));
    ASSERT_EQ(Write(AddressFrame(kBankStart)), kDriverOk);
    EXPECT_EQ(Collect(3), (Bytes{0x00, 0x00, kAck}));
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    Bytes got;
    ASSERT_EQ(ReadOnce(8, got), kDriverOk);
    EXPECT_EQ(got.size(), 8u);
}

struct FailReadCase {
    const char* value;
    uint32_t reported;
};

class FailReadTest : public SimTest, public ::testing::WithParamInterface<FailReadCase> {};

TEST_P(FailReadTest, FailsTheChosenReadAndLosesNothing) {
    SetEnv("VELLORAN_SIM_FAIL_READ", GetParam().value);
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ20)), kAck);
    ASSERT_EQ(Write(AddressFrame(kBankStart)), kDriverOk);
    uint8_t byte = 0;
    uint32_t count = 8;
    EXPECT_NE(Driver().UsbRead(Handle(), &byte, &count), kDriverOk);
    EXPECT_EQ(count, GetParam().reported);
    EXPECT_EQ(Collect(1), Bytes{kAck});
}

INSTANTIATE_TEST_SUITE_P(Table, FailReadTest,
                         ::testing::Values(FailReadCase{"2", 0}, FailReadCase{"2:nocount", 0},
                                           FailReadCase{"2:count", 1}));

TEST_F(FaultTest, FailStartWritesNoHandle) {
    SetEnv("VELLORAN_SIM_FAIL_START", "1");
    DriverLibrary driver(kHdv305);
    uint32_t handle = 0xABCD;
    EXPECT_NE(driver.StartDevice(&handle, 0), kDriverOk);
    EXPECT_EQ(handle, 0xABCDu);
}

TEST_F(FaultTest, LogHasOneHexLinePerExchange) {
    std::string log = (TempRoot() / "exchanges.log").string();
    SetEnv("VELLORAN_SIM_LOG", log);
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ20)), kAck);
    ASSERT_EQ(Send(AddressFrame(kBankStart)), kAck);
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"02 02 04 00 00 08 09 01 00 00 00 00 00 00 00 00",
                                               "02 EC 04 00 00 80 00 10", "20"}));
}

struct IgnoredCase {
    const char* variable;
    const char* value;
};

class InvalidValueTest : public SimTest, public ::testing::WithParamInterface<IgnoredCase> {};

TEST_P(InvalidValueTest, BehavesAsIfUnset) {
    SetEnv(GetParam().variable, GetParam().value);
    Open();
    auto frames = ShortWrite();
    EXPECT_EQ(SendAll(frames), frames.size());
}

INSTANTIATE_TEST_SUITE_P(Table, InvalidValueTest,
                         ::testing::Values(IgnoredCase{"VELLORAN_SIM_FAIL_START", "yes"},
                                           IgnoredCase{"VELLORAN_SIM_ACTIVE_INDEX", "first"},
                                           IgnoredCase{"VELLORAN_SIM_REFUSE_FRAME", "2x"},
                                           IgnoredCase{"VELLORAN_SIM_REFUSE_KIND", "opened"},
                                           IgnoredCase{"VELLORAN_SIM_REFUSE_KIND", "data:two"},
                                           IgnoredCase{"VELLORAN_SIM_SILENT_FROM", "-3"},
                                           IgnoredCase{"VELLORAN_SIM_LATE_READS", "lots"},
                                           IgnoredCase{"VELLORAN_SIM_SPLIT", "0"},
                                           IgnoredCase{"VELLORAN_SIM_PAD", " 2"},
                                           IgnoredCase{"VELLORAN_SIM_FAIL_READ", "1:sometimes"},
                                           IgnoredCase{"VELLORAN_SIM_FAIL_WRITE", "1.5"}));

}  // namespace
}  // namespace velloran::sim::test
