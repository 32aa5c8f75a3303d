#include "link/device_link.h"

#include <gtest/gtest.h>

#include "link/frame_exchange.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::testing {
namespace {

bool AllNull(const CDeviceLink& link) {
    bool none = link.libraryModule == nullptr;
#define VELLORAN_DRIVER_ENTRY(suffix) none = none && link.suffix == nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    return none;
}

TEST(DeviceLink, BindLoadsTheModelsLibraryAndResolvesTenEntriesInOrder) {
    FakeDriver driver;
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(2), 1);
    EXPECT_EQ(driver.loadedNames, std::vector<std::string>{"Hdv201.dll"});
    EXPECT_EQ(driver.resolvedNames,
              (std::vector<std::string>{"Hdv201RegistHandle", "Hdv201UnregistHandle",
                                        "Hdv201CheckMyDevice", "Hdv201CheckActiveDevice",
                                        "Hdv201StartDevice", "Hdv201EndDevice", "Hdv201UsbOpen",
                                        "Hdv201UsbClose", "Hdv201UsbWrite", "Hdv201UsbRead"}));
    EXPECT_EQ(link.Bind(0), 1);
    EXPECT_EQ(driver.loadedNames.back(), "Hdv305.dll");
    EXPECT_EQ(link.Bind(3), 0) << "the end row";
    EXPECT_EQ(driver.frees, 2) << "a rebind frees the old library, even when it fails";
    EXPECT_TRUE(AllNull(link));
}

// A link never bound, or whose bind failed, holds nothing and reaches no driver entry
// point through any of its calls.
TEST(DeviceLink, UnboundLinkHoldsNothingAndCallsNothing) {
    const struct {
        bool bind;
        uint32_t index;
        bool loadFails;
        const char* missing;  // an entry the library lacks, or null
        int loads;
    } cases[] = {
        {false, 0, false, nullptr, 0},  {true, 0xFFFFFFFFu, false, nullptr, 0},
        {true, 0, true, nullptr, 0},    {true, 1, false, "RegistHandle", 1},
        {true, 1, false, "UsbRead", 1}, {true, 2, false, "EndDevice", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.bind << c.index << c.loadFails << (c.missing != nullptr));
        FakeDriver driver;
        driver.loadFails = c.loadFails;
        if (c.missing != nullptr) {
            driver.missingSuffixes = {c.missing};
        }
        driver.moreActive = {1, 2};
        FakeClock clock;
        CDeviceLink link(driver);
        if (c.bind) {
            EXPECT_EQ(link.Bind(c.index), 0);
        }
        EXPECT_TRUE(AllNull(link));
        EXPECT_EQ(driver.loads, c.loads);
        EXPECT_EQ(driver.frees, c.loads);
        EXPECT_EQ(link.Connect() + link.ConnectAt(0) + link.Release(), 0);
        EXPECT_TRUE(link.ActiveIndices().empty());
        const uint8_t frame[3] = {0x02, 0xEB, 0x00};
        uint8_t block[64];
        EXPECT_EQ(SendFrame(link, clock, frame, 3) + ReadBlock8(link, clock, block) +
                      ReadBlock64(link, clock, block),
                  0);
        link.Unbind();
        EXPECT_TRUE(driver.checkedIndices.empty() && driver.startIndices.empty() &&
                    driver.endedHandles.empty() && driver.writes.empty() &&
                    driver.readCountsAsked.empty());
        EXPECT_EQ(driver.frees, c.loads);
    }
}

// Connect scans indices 0 to 127 in order and opens the first that answers; a start that
// wrote a handle is ended even when it failed, and once however often Release is called.
TEST(DeviceLink, ConnectScansIndicesInOrderAndOpensTheFirstThatAnswers) {
    const struct {
        int32_t activeIndex;
        uint32_t startResult;
        int expected;
        size_t checks, starts;
    } cases[] = {{0, 0, 1, 1, 1},
                 {127, 0, 1, 128, 1},
                 {-1, 0, 0, 128, 0},
                 {128, 0, 0, 128, 0},
                 {2, 1, 0, 3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.activeIndex);
        FakeDriver driver;
        driver.activeIndex = c.activeIndex;
        driver.startResult = c.startResult;
        CDeviceLink link(driver);
        ASSERT_EQ(link.Bind(0), 1);
        EXPECT_EQ(link.Connect(), c.expected);
        ASSERT_EQ(driver.checkedIndices.size(), c.checks);
        EXPECT_EQ(driver.checkedIndices.back(), static_cast<int32_t>(c.checks - 1));
        EXPECT_EQ(driver.startIndices.size(), c.starts);
        EXPECT_EQ(link.Release(), 1);
        EXPECT_EQ(link.Release(), 1);
        EXPECT_EQ(driver.endedHandles.size(), c.starts);
        EXPECT_EQ(link.Unbind(), 1);
        EXPECT_EQ(driver.frees, 1);
    }
}

// Printers at 0, 5 and 127: listing calls CheckActiveDevice for all 128 indices and
// starts none; opening by index checks and starts that index alone.
TEST(DeviceLink, ListsEveryAnsweringIndexAndOpensTheChosenOne) {
    FakeDriver driver;
    driver.moreActive = {5, 127};
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(0), 1);
    EXPECT_EQ(link.ActiveIndices(), (std::vector<int32_t>{0, 5, 127}));
    EXPECT_EQ(driver.checkedIndices.size(), 128u);
    EXPECT_TRUE(driver.startIndices.empty());
    driver.checkedIndices.clear();
    EXPECT_EQ(link.ConnectAt(6), 0);
    EXPECT_EQ(link.ConnectAt(128), 0);
    EXPECT_EQ(link.ConnectAt(127), 1);
    EXPECT_EQ(driver.checkedIndices, (std::vector<int32_t>{6, 127}));
    EXPECT_EQ(driver.startIndices, (std::vector<int32_t>{127}));
}

}  // namespace
}  // namespace velloran::testing
