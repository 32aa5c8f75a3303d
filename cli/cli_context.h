#pragma once

#include <ostream>

#include "jobs/transfer_session.h"
#include "platform/local_date.h"

namespace velloran::cli {

// What a run of the command-line program works with: its two output streams, whether
// standard error is a terminal (only then is a progress bar drawn), the seams a transfer
// runs over, and the date that names a default backup file.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    TransferEnvironment environment{};
    LocalDate today{};
};

}  // namespace velloran::cli
