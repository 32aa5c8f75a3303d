#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_harness.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

using namespace velloran::cli;

struct ValidCase {
    const char* name;
    std::vector<std::string> args;
    Command command;
    int32_t modelIndex;
    std::optional<std::string> file;
    bool force;
};

class ValidArguments : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidArguments, BecomeTheInvocation) {
    const ValidCase& c = GetParam();
    const ParsedArguments parsed = ParseArguments(c.args);
    ASSERT_TRUE(parsed.invocation.has_value()) << parsed.error;
    EXPECT_EQ(parsed.invocation->command, c.command);
    EXPECT_EQ(parsed.invocation->modelIndex, c.modelIndex);
    EXPECT_EQ(parsed.invocation->file, c.file);
    EXPECT_EQ(parsed.invocation->force, c.force);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ValidArguments,
    ::testing::Values(
        ValidCase{"Models", {"models"}, Command::kModels, -1, std::nullopt, false},
        ValidCase{
            "ReceiveDefaultName", {"receive", "lm-q20"}, Command::kReceive, 1, std::nullopt, false},
        ValidCase{"ReceiveForceLast",
                  {"receive", "LM-Q30", "out.vid", "--force"},
                  Command::kReceive,
                  0,
                  "out.vid",
                  true},
        ValidCase{"Send", {"send", "LM-q10", "b.vid"}, Command::kSend, 2, "b.vid", false},
        ValidCase{"HelpAlone", {"--help"}, Command::kHelp, -1, std::nullopt, false},
        ValidCase{
            "HelpWinsOverErrors", {"send", "nope", "-h"}, Command::kHelp, -1, std::nullopt, false},
        ValidCase{"Version", {"--version"}, Command::kVersion, -1, std::nullopt, false},
        ValidCase{"VersionAfterCommand",
                  {"models", "--version"},
                  Command::kVersion,
                  -1,
                  std::nullopt,
                  false},
        ValidCase{
            "HelpBeforeVersion", {"--version", "-h"}, Command::kHelp, -1, std::nullopt, false},
        ValidCase{"DashFileAfterEndOfOptions",
                  {"send", "LM-Q20", "--", "-dash.vid"},
                  Command::kSend,
                  1,
                  "-dash.vid",
                  false},
        ValidCase{"HelpAfterEndOfOptionsIsAFile",
                  {"inspect", "--", "--help"},
                  Command::kInspect,
                  -1,
                  "--help",
                  false}),

    [](const auto& info) { return std::string(info.param.name); });

struct UsageErrorCase {
    const char* name;
    std::vector<std::string> args;
    const char* errorPart;
};

class UsageErrors : public ::testing::TestWithParam<UsageErrorCase> {};

// Each usage error ends with status 2, says why on standard error, and neither loads a
// driver nor writes a file.
TEST_P(UsageErrors, ExitTwoAndTouchNothing) {
    const UsageErrorCase& c = GetParam();
    FakeDriver driver;
    FakeClock clock;
    TempDir dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const auto run = RunCliWith(c.args, driver, clock);
    std::filesystem::current_path(before);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
    EXPECT_TRUE(driver.loadedNames.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UsageErrors,
    ::testing::Values(
        UsageErrorCase{"NoCommand", {}, "no command"},
        UsageErrorCase{"UnknownCommand", {"backup"}, "unknown command \"backup\""},
        UsageErrorCase{"CommandIsCaseSensitive", {"RECEIVE", "LM-Q20"}, "unknown command"},
        UsageErrorCase{"ModelsTakesNoArgument", {"models", "LM-Q20"}, "too many"},
        UsageErrorCase{"ReceiveWithoutModel", {"receive"}, "missing argument"},
        UsageErrorCase{"ReceiveUnknownModel",
                       {"receive", "LM-Q99"},
                       "unknown model \"LM-Q99\"; models: LM-Q30, LM-Q20, LM-Q10"},
        UsageErrorCase{"ReceiveUnknownOption",
                       {"receive", "LM-Q20", "--overwrite"},
                       "unknown option \"--overwrite\""},
        UsageErrorCase{"SendWithoutFile", {"send", "LM-Q20"}, "missing argument"},
        UsageErrorCase{"SendUnknownModel", {"send", "LMQ20", "a.vid"}, "unknown model"},
        UsageErrorCase{"SendTakesNoForce",
                       {"send", "LM-Q20", "a.vid", "--force"},
                       "--force is only for receive"},
        UsageErrorCase{"InspectWithoutFile", {"inspect"}, "missing argument"},
        UsageErrorCase{"InspectTooMany", {"inspect", "a.vid", "b.vid"}, "too many"},
        UsageErrorCase{"InspectMissingFile", {"inspect", "absent.vid"}, "cannot read"},
        UsageErrorCase{
            "ReceiveTakesNoVerify", {"receive", "LM-Q20", "--verify"}, "--verify is only for send"},
        UsageErrorCase{"DiffTakesNoTrace",
                       {"diff", "a", "b", "--trace", "t"},
                       "--trace is only for receive, send, verify"},
        UsageErrorCase{
            "TraceWithoutValue", {"send", "LM-Q20", "a.vid", "--trace"}, "--trace needs a value"},
        UsageErrorCase{"DeviceOutOfRange",
                       {"verify", "LM-Q20", "a.vid", "--device", "128"},
                       "--device takes an index from 0 to 127, not \"128\""},
        UsageErrorCase{"DeviceNotANumber", {"receive", "LM-Q20", "--device", "-1"}, "not \"-1\""},
        UsageErrorCase{"DiffOneFile", {"diff", "a.vid"}, "missing argument"},
        UsageErrorCase{"DevicesWithoutModel", {"devices"}, "missing argument"}),
    [](const auto& info) { return std::string(info.param.name); });

// The options of the new commands land in the invocation, values taken in order.
TEST(NewOptions, BecomeTheInvocation) {
    const ParsedArguments send = ParseArguments(
        {"send", "--trace", "--verify", "LM-Q30", "b.vid", "--verify", "--device", "127"});
    ASSERT_TRUE(send.invocation) << send.error;
    EXPECT_EQ(send.invocation->command, Command::kSend);
    EXPECT_EQ(send.invocation->trace, "--verify");
    EXPECT_TRUE(send.invocation->verify);
    EXPECT_EQ(send.invocation->device, 127);
    EXPECT_EQ(send.invocation->file, "b.vid");
    const ParsedArguments diff = ParseArguments({"diff", "a.vid", "--", "-b.vid"});
    ASSERT_TRUE(diff.invocation) << diff.error;
    EXPECT_EQ(diff.invocation->file, "a.vid");
    EXPECT_EQ(diff.invocation->secondFile, "-b.vid");
    const ParsedArguments json = ParseArguments({"inspect", "--json", "a.vid"});
    ASSERT_TRUE(json.invocation) << json.error;
    EXPECT_TRUE(json.invocation->json);
    const ParsedArguments verify = ParseArguments({"verify", "lm-q10", "a.vid", "--device", "0"});
    ASSERT_TRUE(verify.invocation) << verify.error;
    EXPECT_EQ(verify.invocation->command, Command::kVerify);
    EXPECT_EQ(verify.invocation->modelIndex, 2);
    EXPECT_EQ(verify.invocation->device, 0);
}

TEST(UnknownModel, ListsTheModels) {
    const ParsedArguments parsed = ParseArguments({"receive", "LM-Q40"});
    EXPECT_NE(parsed.error.find("LM-Q30, LM-Q20, LM-Q10"), std::string::npos) << parsed.error;
}

}  // namespace
}  // namespace velloran::testing
