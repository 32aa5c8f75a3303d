#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_harness.h"

namespace velloran::testing {
namespace {

using cli::Command;

// The fields of an invocation that differ from their defaults, in one line.
std::string Fields(const cli::Invocation& i) {
    std::string text = "m";
    text.append(std::to_string(i.modelIndex));
    if (i.file) {
        text.append(" f=").append(*i.file);
    }
    if (i.secondFile) {
        text.append(" s=").append(*i.secondFile);
    }
    text.append(i.force ? " force" : "").append(i.verify ? " verify" : "");
    text.append(i.json ? " json" : "");
    if (i.trace) {
        text.append(" trace=").append(*i.trace);
    }
    if (i.device) {
        text.append(" dev=").append(std::to_string(*i.device));
    }
    return text;
}

struct ValidCase {
    const char* args;  // split at spaces
    Command command;
    const char* fields;
};

class ValidArguments : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidArguments, BecomeTheInvocation) {
    const cli::ParsedArguments parsed = cli::ParseArguments(Words(GetParam().args));
    ASSERT_TRUE(parsed.invocation.has_value()) << parsed.error;
    EXPECT_EQ(parsed.invocation->command, GetParam().command);
    EXPECT_EQ(Fields(*parsed.invocation), GetParam().fields);
}

// Model names in any case; --help anywhere before `--` wins, even over errors, and over
// --version; `--` makes what follows a file; option values are taken in order.
INSTANTIATE_TEST_SUITE_P(
    Commands, ValidArguments,
    ::testing::Values(ValidCase{"send LM-q10 b.vid", Command::kSend, "m2 f=b.vid"},
                      ValidCase{"--help", Command::kHelp, "m-1"},
                      ValidCase{"send nope -h", Command::kHelp, "m-1"},
                      ValidCase{"models --version", Command::kVersion, "m-1"},
                      ValidCase{"--version -h", Command::kHelp, "m-1"},
                      ValidCase{"send LM-Q20 -- -dash.vid", Command::kSend, "m1 f=-dash.vid"},
                      ValidCase{"inspect -- --help", Command::kInspect, "m-1 f=--help"},
                      ValidCase{"send --trace --verify LM-Q30 b.vid --verify --device 127",
                                Command::kSend, "m0 f=b.vid verify trace=--verify dev=127"},
                      ValidCase{"diff a.vid -- -b.vid", Command::kDiff, "m-1 f=a.vid s=-b.vid"},
                      ValidCase{"inspect --json a.vid", Command::kInspect, "m-1 f=a.vid json"}));

struct UsageErrorCase {
    const char* args;  // split at spaces
    const char* errorPart;
};

using UsageErrors = CliTestP<UsageErrorCase>;

// Each usage error ends with status 2, says why on standard error, and neither loads a
// driver nor writes a file.
TEST_P(UsageErrors, ExitTwoAndTouchNothing) {
    const CliRun run = Run(Words(GetParam().args));
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().errorPart), std::string::npos) << run.err;
    EXPECT_TRUE(driver.loadedNames.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UsageErrors,
    ::testing::Values(
        UsageErrorCase{"", "no command given; try velloran-cli --help\n"},
        UsageErrorCase{"backup", "unknown command \"backup\""},
        UsageErrorCase{"RECEIVE LM-Q20", "unknown command"},
        UsageErrorCase{"models LM-Q20", "too many arguments; usage: velloran-cli models\n"},
        UsageErrorCase{"receive", "missing argument; usage: velloran-cli receive MODEL [FILE]"},
        UsageErrorCase{"receive LM-Q99",
                       "unknown model \"LM-Q99\"; models: LM-Q30, LM-Q20, LM-Q10\n"},
        UsageErrorCase{"receive LM-Q20 --overwrite", "unknown option \"--overwrite\""},
        UsageErrorCase{"send LM-Q20", "missing argument; usage: velloran-cli send MODEL FILE"},
        UsageErrorCase{"send LMQ20 a.vid", "unknown model"},
        UsageErrorCase{"send LM-Q20 a.vid --force", "--force is only for receive"},
        UsageErrorCase{"inspect", "missing argument; usage: velloran-cli inspect FILE [--json]\n"},
        UsageErrorCase{"inspect a.vid b.vid", "too many"},
        UsageErrorCase{"inspect absent.vid", "velloran-cli: cannot read \"absent.vid\"\n"},
        UsageErrorCase{"inspect .", "cannot read \".\""},
        UsageErrorCase{"receive LM-Q20 --verify", "--verify is only for send"},
        UsageErrorCase{"diff a b --trace t", "--trace is only for receive, send, verify"},
        UsageErrorCase{"send LM-Q20 a.vid --trace", "--trace needs a value"},
        UsageErrorCase{"verify LM-Q20 a.vid --device 128",
                       "--device takes an index from 0 to 127, not \"128\""},
        UsageErrorCase{"receive LM-Q20 --device -1", "not \"-1\""},
        UsageErrorCase{"diff a.vid", "missing argument; usage: velloran-cli diff A.vid B.vid\n"},
        UsageErrorCase{"devices", "missing argument; usage: velloran-cli devices MODEL\n"}));

}  // namespace
}  // namespace velloran::testing
