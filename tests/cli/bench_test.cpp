#include <gtest/gtest.h>

#include "bench/bench_options.h"
#include "bench/bench_report.h"
#include "bench/counting_loader.h"
#include "link/device_link.h"
#include "link/frame_exchange.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::testing {
namespace {

using namespace velloran::bench;

TEST(Table, OneRowPerJobUnderAHeader) {
    const Measurement m{.job = "lmq20-receive",
                        .exchanges = 2562,
                        .reads = 2570,
                        .wallSeconds = 26.9,
                        .cpuSeconds = 0.538,
                        .peakRssKiB = 4096,
                        .outcome = "ok"};
    const std::string table = FormatTable(std::vector<Measurement>{m});
    EXPECT_TRUE(table.starts_with("| job | exchanges | reads | floor (s) |")) << table;
    EXPECT_TRUE(
        table.ends_with("| lmq20-receive | 2562 | 2570 | 25.62 | 26.90 | 1.050 | 500 | 2.0% | "
                        "4.0 | ok |\n"))
        << table;
}

// Each exchange is one driver write; every poll is one driver read.
TEST(CountingLoader, CountsWritesAndReadsThroughTheBoundLink) {
    FakeDriver driver;
    FakeClock clock;
    driver.reads.push_back({0, {}, -1});      // nothing yet
    driver.reads.push_back({0, {0x06}, -1});  // then the acknowledgement
    CountingLoader loader(driver);
    CDeviceLink link(loader);
    ASSERT_EQ(link.Bind(1), 1);
    ASSERT_EQ(link.Connect(), 1);
    CountingLoader::ResetCounts();
    const uint8_t frame[3] = {0x02, 0xEB, 0x00};
    EXPECT_EQ(SendFrame(link, clock, frame, sizeof frame), 1);
    EXPECT_EQ(CountingLoader::Counts().writes, 1u);
    EXPECT_EQ(CountingLoader::Counts().reads, 2u);
    EXPECT_EQ(driver.writes.size(), 1u);
    link.Release();
    link.Unbind();
    EXPECT_EQ(driver.frees, 1);
}

}  // namespace
}  // namespace velloran::testing
