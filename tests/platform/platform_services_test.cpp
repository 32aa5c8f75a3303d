// The operating system's clock, date and version as the jobs and windows use them.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/clock.h"
#include "platform/local_date.h"
#include "platform/os_version.h"

namespace velloran {
namespace {

TEST(SystemClock, TicksInMillisecondsAcrossASleep) {
    constexpr uint32_t kSleep = 100;
    constexpr uint32_t kTickGranularity = 20;  // the Windows tick advances every ~16 ms
    constexpr uint32_t kSlowestWakeUp = 2000;
    Clock& clock = SystemClock();
    const uint32_t before = clock.TickMs();
    clock.SleepMs(kSleep);
    const uint32_t elapsed = clock.TickMs() - before;
    EXPECT_GE(elapsed, kSleep - kTickGranularity);
    EXPECT_LT(elapsed, kSlowestWakeUp);
}

TEST(LocalDate, IsTodayInTheLocalCalendar) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const LocalDate today = TodayLocal();
    EXPECT_EQ(today.year, static_cast<uint32_t>(local.tm_year + 1900));
    EXPECT_EQ(today.month, static_cast<uint32_t>(local.tm_mon + 1));
    EXPECT_EQ(today.day, static_cast<uint32_t>(local.tm_mday));
}

TEST(OsVersion, ReportsAnNtPlatformThatTakesWideReads) {
    const OsVersion version = QueryOsVersion();
    EXPECT_TRUE(version.queried);
    EXPECT_EQ(version.platformId, kPlatformIdWin32Nt);
    EXPECT_GE(version.majorVersion, 5u);
}

}  // namespace
}  // namespace velloran
