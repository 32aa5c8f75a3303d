#include <gtest/gtest.h>

#include "bench/bench_report.h"

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

}  // namespace
}  // namespace velloran::testing
