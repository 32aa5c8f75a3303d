#include <gtest/gtest.h>

#include "bench/bench_options.h"
#include "bench/bench_report.h"
#include "bench/counting_loader.h"
#include "link/device_link.h"
#include "link/frame_exchange.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::bench {
namespace {

using velloran::testing::FakeClock;
using velloran::testing::FakeDriver;

struct DeriveCase {
    const char* name;
    uint64_t exchanges;
    double wallSeconds;
    double cpuSeconds;
    Derived expected;
};

class Derivation : public ::testing::TestWithParam<DeriveCase> {};

TEST_P(Derivation, MeasuresAgainstTenMillisecondsPerExchange) {
    const DeriveCase& c = GetParam();
    Measurement m;
    m.exchanges = c.exchanges;
    m.wallSeconds = c.wallSeconds;
    m.cpuSeconds = c.cpuSeconds;
    const Derived d = Derive(m);
    EXPECT_DOUBLE_EQ(d.floorSeconds, c.expected.floorSeconds);
    EXPECT_NEAR(d.wallOverFloor, c.expected.wallOverFloor, 1e-9);
    EXPECT_NEAR(d.overheadMicrosPerExchange, c.expected.overheadMicrosPerExchange, 1e-6);
    EXPECT_NEAR(d.cpuOverWall, c.expected.cpuOverWall, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, Derivation,
    ::testing::Values(DeriveCase{"HalfAMillisecondOver", 1000, 10.5, 0.21, {10.0, 1.05, 500, 0.02}},
                      DeriveCase{"NothingExchanged", 0, 0.001, 0, {0, 0, 0, 0}},
                      DeriveCase{"NoTimeTaken", 10, 0, 0, {0.1, 0, -10000, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Table, OneRowPerJobUnderAHeader) {
    Measurement m;
    m.job = "lmq20-receive";
    m.exchanges = 2562;
    m.reads = 2570;
    m.wallSeconds = 26.9;
    m.cpuSeconds = 0.538;
    m.peakRssKiB = 4096;
    m.outcome = "ok";
    const std::string table = FormatTable(std::vector<Measurement>{m});
    EXPECT_TRUE(table.starts_with("| job | exchanges | reads | floor (s) |")) << table;
    EXPECT_TRUE(
        table.ends_with("| lmq20-receive | 2562 | 2570 | 25.62 | 26.90 | 1.050 | 500 | 2.0% | "
                        "4.0 | ok |\n"))
        << table;
}

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> jobs;  // empty: the arguments are refused
};

class Options : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(Options, PickTheJobs) {
    std::string error;
    const auto options = ParseBenchOptions(GetParam().args, error);
    if (GetParam().jobs.empty()) {
        EXPECT_FALSE(options.has_value());
        EXPECT_FALSE(error.empty());
        return;
    }
    ASSERT_TRUE(options.has_value()) << error;
    std::vector<std::string> names;
    for (const BenchJob* job : options->jobs) {
        names.emplace_back(job->name);
    }
    EXPECT_EQ(names, GetParam().jobs);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Options,
    ::testing::Values(OptionsCase{"All",
                                  {},
                                  {"lmq20-receive", "lmq20-send", "lmq30-receive", "lmq30-send",
                                   "lmq30-send-lmq20", "lmq10-receive"}},
                      OptionsCase{"Quick", {"--quick"}, {"lmq30-send-lmq20"}},
                      OptionsCase{"NamedInOrderGiven",
                                  {"--job", "lmq10-receive", "--job", "lmq20-send"},
                                  {"lmq10-receive", "lmq20-send"}},
                      OptionsCase{"UnknownJob", {"--job", "lmq40-send"}, {}},
                      OptionsCase{"JobWithoutName", {"--job"}, {}},
                      OptionsCase{"UnknownOption", {"--fast"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

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
}  // namespace velloran::bench
