#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "link/exchange_observer.h"
#include "platform/clock.h"

namespace velloran {

// The name of the frame or read request `sent` is: open, address (the control address),
// target (any other address), control00, setup, control05, control07, data, read8,
// read64; "frame" for anything else.
std::string FrameKindName(std::span<const uint8_t> sent);

// One trace line, without its line end: milliseconds since the trace began, the kind and
// bytes sent, the polls it took and what came back.
std::string FormatExchange(const ExchangeRecord& record, uint32_t sinceStartMs);

// Writes one line per exchange to `out` as the transfer goes, flushed line by line, so
// a transfer that ends abruptly leaves its trace up to that point.
class ExchangeTrace final : public ExchangeObserver {
  public:
    ExchangeTrace(std::ostream& out, Clock& clock);

    void Exchanged(const ExchangeRecord& record) override;
    // A line of its own, such as the outcome at the end.
    void Note(const std::string& text);

  private:
    std::ostream& out_;
    Clock& clock_;
    uint32_t startMs_;
};

}  // namespace velloran
