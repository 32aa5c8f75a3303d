#include "jobs/exchange_trace.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/fake_clock.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct KindCase {
    Bytes sent;
    const char* kind;
};

TEST(ExchangeTrace, NamesEveryFrameKind) {
    const std::vector<KindCase> cases{
        {{0x02, 0x02, 0x04, 0x00, 0x01, 0x06, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}, "open"},
        {{0x02, 0xEC, 0x04, 0x00, 0x00, 0x00, 0x00, 0x10}, "address"},
        {{0x02, 0xEC, 0x04, 0x00, 0x00, 0x80, 0x00, 0x10}, "target"},
        {{0x02, 0xEB, 0x00}, "control00"},
        {{0x02, 0xEB, 0x09, 0x08, 0x00, 0, 0, 0xE6, 0x10, 0, 0, 2, 0}, "setup"},
        {{0x02, 0xED, 0x01, 0x00, 0xAA}, "data"},
        {{0x21}, "read64"},
        {{0x22}, "frame"},
    };
    for (const KindCase& c : cases) {
        EXPECT_EQ(FrameKindName(c.sent), c.kind);
    }
}

ExchangeRecord Record(const Bytes& sent, uint32_t polls, bool written, bool succeeded,
                      const Bytes& received) {
    ExchangeRecord record;
    record.sent = sent;
    record.polls = polls;
    record.written = written;
    record.succeeded = succeeded;
    record.received = received;
    return record;
}

TEST(ExchangeTrace, OneLinePerExchange) {
    const Bytes setup{0x02, 0xEB, 0x09, 0x08, 0x00, 0x00, 0x80, 0x00, 0x10, 0x00, 0x80, 0x02, 0x00};
    const Bytes ack{0x06};
    const Bytes refused{0x15};
    const Bytes seven{1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(FormatExchange(Record(setup, 1, true, false, refused), 42),
              "     42 ms  setup     02 eb 09 08 00 00 80 00 10 00 80 02 00  polls 1  reply 15 "
              "refused");
    EXPECT_EQ(FormatExchange(Record({0x02, 0xEB, 0x07}, 3, true, true, ack), 0),
              "      0 ms  control07 02 eb 07  polls 3  reply 06 ack");
    EXPECT_EQ(FormatExchange(Record({0x02, 0xEB, 0x07}, 1000, true, false, {}), 10010),
              "  10010 ms  control07 02 eb 07  polls 1000  no reply (deadline)");
    EXPECT_EQ(FormatExchange(Record({0x20}, 1000, true, false, seven), 5),
              "      5 ms  read8     20  polls 1000  got 7 of 8 bytes: 01 02 03 04 05 06 07");
    EXPECT_EQ(FormatExchange(Record({0x21}, 0, false, false, {}), 7),
              "      7 ms  read64    21  polls 0  write failed");
}

// Lines carry the time since the trace began; a note of several lines becomes one.
TEST(ExchangeTrace, WritesAsItGoes) {
    FakeClock clock(5000);
    std::ostringstream out;
    ExchangeTrace trace(out, clock);
    const Bytes request{0x21};
    ExchangeRecord record = Record(request, 1, true, false, {});
    record.startMs = 5030;
    trace.Exchanged(record);
    clock.SleepMs(10000);
    trace.Note("outcome: first\nsecond");
    EXPECT_EQ(out.str(),
              "     30 ms  read64    21  polls 1  got 0 of 64 bytes (deadline)\n"
              "  10000 ms  outcome: first second\n");
}

}  // namespace
}  // namespace velloran::testing
