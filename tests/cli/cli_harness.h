#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"

namespace velloran::testing {

// What one run of the command-line program left behind.
struct CliRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the program's logic on `args` with the fake driver and clock, as if started on
// 7 March 2014.
inline CliRun RunCliWith(const std::vector<std::string>& args, FakeDriver& driver, FakeClock& clock,
                         bool errIsTerminal = false) {
    std::ostringstream out;
    std::ostringstream err;
    cli::CliContext context{out, err};
    context.errIsTerminal = errIsTerminal;
    context.environment.loader = &driver;
    context.environment.clock = &clock;
    context.today = LocalDate{2014, 3, 7};
    CliRun run;
    run.exitStatus = cli::RunCli(args, context);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace velloran::testing
