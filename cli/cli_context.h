#pragma once

#include <ostream>

#include "jobs/transfer_session.h"
#include "platform/local_date.h"

namespace velloran::cli {

// What a run of the command-line program works with: its two output streams, whether
// standard error is a terminal (only then is a progress bar drawn), the seams a transfer
// runs over, the date that names a default backup file, and the printer it holds: a
// printer stays held from its first transfer until the run ends, so that no other
// transfer comes between the send and the verify of `send --verify`.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    TransferEnvironment environment{};
    LocalDate today{};
    PrinterHold printerHold{};
};

}  // namespace velloran::cli
