#include "link/device_link.h"

#include <gtest/gtest.h>

#include "tests/support/fake_driver.h"

namespace velloran {
namespace {

using testing::FakeDriver;

bool AllNull(const CDeviceLink& link) {
    return !link.RegistHandle && !link.UnregistHandle && !link.CheckMyDevice &&
           !link.CheckActiveDevice && !link.StartDevice && !link.EndDevice && !link.UsbOpen &&
           !link.UsbClose && !link.UsbWrite && !link.UsbRead && !link.libraryModule;
}

TEST(DeviceLinkBind, LoadsTheModelsLibraryAndResolvesTenEntriesInOrder) {
    FakeDriver driver;
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(2), 1);
    EXPECT_EQ(driver.loadedNames, std::vector<std::string>{"Hdv201.dll"});
    EXPECT_EQ(driver.resolvedNames,
              (std::vector<std::string>{"Hdv201RegistHandle", "Hdv201UnregistHandle",
                                        "Hdv201CheckMyDevice", "Hdv201CheckActiveDevice",
                                        "Hdv201StartDevice", "Hdv201EndDevice", "Hdv201UsbOpen",
                                        "Hdv201UsbClose", "Hdv201UsbWrite", "Hdv201UsbRead"}));
    EXPECT_NE(link.UsbRead, nullptr);
}

TEST(DeviceLinkBind, EndRowAndOutOfRangeIndicesLoadNothing) {
    for (uint32_t index : {3u, 4u, 5u, 0xFFFFFFFFu}) {
        FakeDriver driver;
        CDeviceLink link(driver);
        EXPECT_EQ(link.Bind(index), 0) << index;
        EXPECT_TRUE(driver.loadedNames.empty()) << index;
        EXPECT_TRUE(AllNull(link));
    }
}

TEST(DeviceLinkBind, RebindFreesTheOldLibraryEvenWhenTheNewIndexFails) {
    FakeDriver driver;
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(0), 1);
    EXPECT_EQ(link.Bind(3), 0);
    EXPECT_EQ(driver.frees, 1);
    EXPECT_TRUE(AllNull(link));
}

class MissingEntry : public ::testing::TestWithParam<const char*> {};

TEST_P(MissingEntry, FreesTheLibraryAndLeavesEveryMemberNull) {
    FakeDriver driver;
    driver.missingSuffixes = {GetParam()};
    CDeviceLink link(driver);
    EXPECT_EQ(link.Bind(1), 0);
    EXPECT_EQ(driver.resolvedNames.size(), 10u);  // every lookup is made
    EXPECT_EQ(driver.loads, 1);
    EXPECT_EQ(driver.frees, 1);
    EXPECT_TRUE(AllNull(link));
}

INSTANTIATE_TEST_SUITE_P(EachSuffix, MissingEntry, ::testing::ValuesIn(kEntrySuffixes));

TEST(DeviceLinkBind, UnloadableLibraryLeavesTheLinkEmpty) {
    FakeDriver driver;
    driver.loadFails = true;
    CDeviceLink link(driver);
    EXPECT_EQ(link.Bind(0), 0);
    EXPECT_TRUE(AllNull(link));
    EXPECT_EQ(link.Connect(), 0);
    EXPECT_TRUE(driver.checkedIndices.empty());
}

struct ConnectCase {
    int32_t activeIndex;
    uint32_t startResult;
    int expected;
    size_t checks;
};

class DeviceLinkConnect : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(DeviceLinkConnect, ScansIndicesInOrderAndOpensTheFirstThatAnswers) {
    const ConnectCase& c = GetParam();
    FakeDriver driver;
    driver.activeIndex = c.activeIndex;
    driver.startResult = c.startResult;
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(0), 1);
    EXPECT_EQ(link.Connect(), c.expected);
    ASSERT_EQ(driver.checkedIndices.size(), c.checks);
    for (size_t i = 0; i < c.checks; ++i) {
        EXPECT_EQ(driver.checkedIndices[i], static_cast<int32_t>(i));
    }
    if (c.activeIndex >= 0 && c.activeIndex < kDeviceIndexCount) {
        EXPECT_EQ(driver.startIndices, std::vector<int32_t>{c.activeIndex});
    } else {
        EXPECT_TRUE(driver.startIndices.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Scan, DeviceLinkConnect,
                         ::testing::Values(ConnectCase{0, 0, 1, 1}, ConnectCase{5, 0, 1, 6},
                                           ConnectCase{127, 0, 1, 128}, ConnectCase{-1, 0, 0, 128},
                                           ConnectCase{128, 0, 0, 128}, ConnectCase{2, 1, 0, 3}));

TEST(DeviceLinkRelease, EndsTheDeviceOnceAndOnlyWhenBound) {
    FakeDriver driver;
    CDeviceLink link(driver);
    EXPECT_EQ(link.Release(), 0);  // unbound
    ASSERT_EQ(link.Bind(1), 1);
    EXPECT_EQ(link.Release(), 1);  // bound, nothing open
    EXPECT_TRUE(driver.endedHandles.empty());
    ASSERT_EQ(link.Connect(), 1);
    EXPECT_EQ(link.Release(), 1);
    EXPECT_EQ(link.Release(), 1);
    EXPECT_EQ(driver.endedHandles, std::vector<uint32_t>{driver.handleWritten});
    EXPECT_EQ(link.deviceHandle, 0u);
}

TEST(DeviceLinkRelease, FailedStartThatWroteAHandleIsStillEnded) {
    FakeDriver driver;
    driver.startResult = 3;
    CDeviceLink link(driver);
    ASSERT_EQ(link.Bind(1), 1);
    EXPECT_EQ(link.Connect(), 0);
    EXPECT_EQ(link.Release(), 1);
    EXPECT_EQ(driver.endedHandles.size(), 1u);
}

TEST(DeviceLinkUnbind, LeavesTheDeviceHandleAndFreesOnce) {
    FakeDriver driver;
    {
        CDeviceLink link(driver);
        ASSERT_EQ(link.Bind(1), 1);
        ASSERT_EQ(link.Connect(), 1);
        EXPECT_EQ(link.Unbind(), 1);
        EXPECT_EQ(link.deviceHandle, driver.handleWritten);
        EXPECT_TRUE(AllNull(link));
        EXPECT_EQ(link.Unbind(), 1);
    }
    EXPECT_EQ(driver.frees, 1);
}

}  // namespace
}  // namespace velloran

namespace velloran {
namespace {

// Printers at 0, 5 and 127: listing calls CheckActiveDevice for all 128 indices and
// starts none; opening by index checks and starts that index alone.
TEST(DeviceLinkByIndex, ListsEveryAnsweringIndexAndOpensTheChosenOne) {
    FakeDriver driver;
    driver.moreActive = {5, 127};
    CDeviceLink link(driver);
    EXPECT_TRUE(link.ActiveIndices().empty());  // unbound
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
}  // namespace velloran
