// The driver library's entry points as a host binds them: exports, handles, device
// indexes and the limits of a single write or read.

#include <cstring>
#include <thread>

#include "sim_test_library.h"
#include "sim_test_support.h"

namespace velloran::sim::test {
namespace {

using EntryTest = SimTest;

TEST_F(EntryTest, HandleChoresSucceedWithoutADevice) {
    for (const Library* library : {&kHdv305, &kHdv201}) {
        DriverLibrary driver(*library);
        EXPECT_EQ(driver.RegistHandle(7), kDriverOk);
        EXPECT_EQ(driver.UnregistHandle(7), kDriverOk);
        EXPECT_EQ(driver.CheckMyDevice(7), kDriverOk);
        EXPECT_EQ(driver.UsbOpen(7), kDriverOk);
        EXPECT_EQ(driver.UsbClose(7), kDriverOk);
    }
}

TEST_F(EntryTest, ExportsOnlyItsOwnPrefix) {
    void* module = OpenLibrary(kHdv201.path);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FindSymbol(module, "Hdv305UsbWrite"), nullptr);
    CloseLibrary(module);
}

TEST_F(EntryTest, OneDeviceAtATimeAndStaleHandlesRefused) {
    Open();
    uint32_t second = 0;
    EXPECT_NE(Driver().StartDevice(&second, 0), kDriverOk);
    uint32_t stale = Handle();
    uint8_t byte = 0;
    uint32_t count = 1;
    EXPECT_NE(Driver().UsbWrite(stale + 1, &kRead8, 1), kDriverOk);
    EXPECT_NE(Driver().UsbRead(stale + 1, &byte, &count), kDriverOk);
    Close();
    EXPECT_NE(Driver().UsbWrite(stale, &kRead8, 1), kDriverOk);
    EXPECT_NE(Driver().EndDevice(stale), kDriverOk);
    Open();
    EXPECT_NE(Handle(), stale);
}

TEST_F(EntryTest, WriteTakesOneToSixtyFourBytes) {
    Open();
    Bytes big(65, 0x02);
    EXPECT_NE(Driver().UsbWrite(Handle(), big.data(), 0), kDriverOk);
    EXPECT_NE(Driver().UsbWrite(Handle(), big.data(), 65), kDriverOk);
    EXPECT_NE(Driver().UsbWrite(Handle(), nullptr, 3), kDriverOk);
    EXPECT_TRUE(Collect(1).empty());
}

TEST_F(EntryTest, ReadNeverDeliversMoreThanAsked) {
    Open();
    ASSERT_EQ(Send(OpenFrame(kSigQ20)), kAck);
    ASSERT_EQ(Send(AddressFrame(kBankStart)), kAck);
    ASSERT_EQ(Write({kRead8}), kDriverOk);
    Bytes got;
    for (uint32_t wanted : {0u, 3u, 3u, 3u}) {
        size_t before = got.size();
        ASSERT_EQ(ReadOnce(wanted, got), kDriverOk);
        EXPECT_EQ(got.size() - before, std::min<size_t>(wanted, 8 - before));
    }
}

TEST_F(EntryTest, TransferOnAWorkerThreadWhileTheMainThreadProbes) {
    Open();
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(kSmallLength, 3));
    size_t accepted = 0;
    std::thread worker([&] { accepted = SendAll(frames); });
    char area[128];
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(Driver().CheckActiveDevice(0, area), kDriverOk);
    }
    worker.join();
    EXPECT_EQ(accepted, frames.size());
}

struct ActiveCase {
    const char* name;
    const char* value;  // nullptr: unset
    int32_t index;
    bool answers;
};

class ActiveIndexTest : public SimTest, public ::testing::WithParamInterface<ActiveCase> {};

TEST_P(ActiveIndexTest, OnlyTheActiveIndexAnswersAndStarts) {
    if (GetParam().value != nullptr) {
        SetEnv("VELLORAN_SIM_ACTIVE_INDEX", GetParam().value);
    }
    DriverLibrary driver(kHdv305);
    char area[128];
    std::memset(area, 0x7F, sizeof area);
    uint32_t answer = driver.CheckActiveDevice(GetParam().index, area);
    EXPECT_EQ(answer == kDriverOk, GetParam().answers);
    if (GetParam().answers) {
        EXPECT_NE(std::memchr(area, 0, sizeof area), nullptr) << "a terminated label";
    }
    uint32_t handle = 0;
    EXPECT_EQ(driver.StartDevice(&handle, GetParam().index) == kDriverOk, GetParam().answers);
    if (handle != 0) {
        EXPECT_EQ(driver.EndDevice(handle), kDriverOk);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ActiveIndexTest,
                         ::testing::Values(ActiveCase{"DefaultZero", nullptr, 0, true},
                                           ActiveCase{"DefaultNotOne", nullptr, 1, false},
                                           ActiveCase{"ChosenThree", "3", 3, true},
                                           ActiveCase{"ChosenNotZero", "3", 0, false},
                                           ActiveCase{"NoneAtZero", "none", 0, false},
                                           ActiveCase{"InvalidMeansZero", "x", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A list of printers replaces the one active index; each printer's memory is seeded and
// kept apart, the one at 0 in the usual state files.
TEST_F(EntryTest, SeveralPrintersEachWithMemoryOfItsOwn) {
    SetEnv("VELLORAN_SIM_ACTIVE_INDEX", "3");
    SetEnv("VELLORAN_SIM_DEVICES", "0,5,127");
    std::vector<int32_t> answering;
    {
        DriverLibrary driver(kHdv305);
        char area[128];
        for (int32_t index = 0; index < 128; ++index) {
            if (driver.CheckActiveDevice(index, area) == kDriverOk) {
                answering.push_back(index);
            }
        }
    }
    EXPECT_EQ(answering, (std::vector<int32_t>{0, 5, 127}));
    std::vector<Bytes> firstBytes;
    for (int32_t index : {0, 5, 127}) {
        Open(kHdv305, index);
        firstBytes.push_back(ReadRegion(kSigQ20, 0x10008000, 8, kRead8));
        Close();
    }
    ASSERT_EQ(firstBytes.size(), 3u);
    EXPECT_EQ(firstBytes[1][0], firstBytes[0][0] ^ 5);
    EXPECT_EQ(firstBytes[2][0], firstBytes[0][0] ^ 127);
    SetEnv("VELLORAN_SIM_DEVICES", "0,x");  // does not parse: the active index rules
    DriverLibrary driver(kHdv305);
    char area[128];
    EXPECT_EQ(driver.CheckActiveDevice(3, area), kDriverOk);
    EXPECT_NE(driver.CheckActiveDevice(5, area), kDriverOk);
}

}  // namespace
}  // namespace velloran::sim::test
