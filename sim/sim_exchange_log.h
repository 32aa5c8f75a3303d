#pragma once

// A trace of what the host wrote: one line per exchange, the bytes in hex, so that a
// test can check the exact frame sequence a program sent.

#include <cstdint>
#include <span>
#include <string>

namespace velloran::sim {

// "02 EC 04 00 00 00 00 10": upper-case hex bytes separated by single spaces.
std::string HexLine(std::span<const uint8_t> bytes);

class ExchangeLog {
  public:
    explicit ExchangeLog(std::string path) : path_(std::move(path)) {}

    // Appends the line for `bytes`; does nothing when no log path is set.
    void Record(std::span<const uint8_t> bytes) const;

  private:
    std::string path_;
};

}  // namespace velloran::sim
