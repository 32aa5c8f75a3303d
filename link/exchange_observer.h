#pragma once

#include <cstdint>
#include <span>

namespace velloran {

// One exchange with the printer as it went: what was written (a frame or a one-byte read
// request), when, how many reads it took, and what came back.
struct ExchangeRecord {
    std::span<const uint8_t> sent;
    uint32_t startMs = 0;
    uint32_t endMs = 0;
    uint32_t polls = 0;
    bool written = false;    // the driver took the write
    bool succeeded = false;  // acknowledged, or the whole block arrived
    // A frame: the deciding reply byte, empty when none came. A read request: the bytes
    // gathered, whole or not.
    std::span<const uint8_t> received;
};

// Told of every exchange on a link once it has ended. Set only when someone watches: an
// unwatched link pays one pointer test per exchange.
class ExchangeObserver {
  public:
    virtual ~ExchangeObserver() = default;
    virtual void Exchanged(const ExchangeRecord& record) = 0;
};

}  // namespace velloran
