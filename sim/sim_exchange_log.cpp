#include "sim/sim_exchange_log.h"

#include "sim/sim_platform.h"

namespace velloran::sim {

std::string HexLine(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line;
    for (uint8_t byte : bytes) {
        if (!line.empty()) {
            line += ' ';
        }
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

void ExchangeLog::Record(std::span<const uint8_t> bytes) const {
    if (!path_.empty()) {
        platform::AppendLine(path_, HexLine(bytes));
    }
}

}  // namespace velloran::sim
