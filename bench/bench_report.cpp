#include "bench/bench_report.h"

#include <cstdio>

#include "link/frame_exchange.h"

namespace velloran::bench {
namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr double kMicrosPerSecond = 1e6;
constexpr double kKibPerMib = 1024.0;
constexpr const char* kHeader =
    "| job | exchanges | reads | floor (s) | wall (s) | wall/floor | overhead/exchange (µs) "
    "| CPU/wall | peak RSS (MiB) | outcome |\n"
    "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";

std::string Row(const Measurement& m) {
    const Derived d = Derive(m);
    char text[256];
    std::snprintf(text, sizeof text,
                  "| %s | %llu | %llu | %.2f | %.2f | %.3f | %.0f | %.1f%% | %.1f | %s |\n",
                  m.job.c_str(), static_cast<unsigned long long>(m.exchanges),
                  static_cast<unsigned long long>(m.reads), d.floorSeconds, m.wallSeconds,
                  d.wallOverFloor, d.overheadMicrosPerExchange, d.cpuOverWall * 100.0,
                  m.peakRssKiB / kKibPerMib, m.outcome.c_str());
    return text;
}

}  // namespace

Derived Derive(const Measurement& m) {
    Derived d;
    d.floorSeconds = m.exchanges * (kPollIntervalMs / kMsPerSecond);
    d.wallOverFloor = d.floorSeconds > 0 ? m.wallSeconds / d.floorSeconds : 0;
    d.overheadMicrosPerExchange =
        m.exchanges > 0 ? (m.wallSeconds - d.floorSeconds) * kMicrosPerSecond / m.exchanges : 0;
    d.cpuOverWall = m.wallSeconds > 0 ? m.cpuSeconds / m.wallSeconds : 0;
    return d;
}

std::string FormatTable(std::span<const Measurement> measurements) {
    std::string table = kHeader;
    for (const Measurement& m : measurements) {
        table += Row(m);
    }
    return table;
}

}  // namespace velloran::bench
