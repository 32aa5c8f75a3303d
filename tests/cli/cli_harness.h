#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "jobs/outcome.h"
#include "tests/cli/program_run.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {

// What one run of the command-line program left behind.
using CliRun = ProgramResult;

// The words of `line`, split at spaces.
inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), {}};
}

inline const std::string kDone = "データの転送が正常に終了しました。\n";

// The text of a failed transfer's outcome, as the program prints it.
inline std::string Text(uint32_t id, FailureDetail detail = kNoDetail) {
    return OutcomeText(Outcome::Failed(id, detail)) + "\n";
}

// Runs the program's logic with the fake driver, a fake printer behind it and the fake
// clock, in a folder of its own, as if started on 7 March 2014.
class CliTest : public ::testing::Test {
  protected:
    CliRun Run(const std::vector<std::string>& args, bool errIsTerminal = false) {
        std::ostringstream out;
        std::ostringstream err;
        cli::CliContext context{out, err};
        context.errIsTerminal = errIsTerminal;
        context.environment.loader = &driver;
        context.environment.clock = &clock;
        context.today = LocalDate{2014, 3, 7};
        const auto before = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        CliRun run;
        run.exitStatus = cli::RunCli(args, context);
        std::filesystem::current_path(before);
        run.out = out.str();
        run.err = err.str();
        return run;
    }
    // Writes `bytes` to `name` in the folder of the run.
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteBytes(dir.File(name), bytes);
    }

    TempDir dir;
    FakeDriver driver;
    FakeClock clock;
    FakePrinter printer{driver};
};

template <typename Param>
class CliTestP : public CliTest, public ::testing::WithParamInterface<Param> {};

}  // namespace velloran::testing
