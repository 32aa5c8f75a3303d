// The command-line program over the fake driver, the fake printer and the fake clock:
// what each command prints on which stream, its exit status, and what it leaves on disk;
// then its parts: the arguments, the inspection, the progress texts and the bar.
#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>

#include "cli/arguments.h"
#include "cli/comparison_text.h"
#include "cli/progress_bar.h"
#include "cli/progress_format.h"
#include "cli/refusal_reason.h"
#include "jobs/outcome.h"
#include "platform/printer_lock.h"
#include "tests/cli/program_run.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

using namespace velloran::cli;

// The words of `line`, split at spaces.
std::vector<std::string> Words(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), {}};
}

const std::string kDone = "データの転送が正常に終了しました。\n";

// The text of a failed transfer's outcome, as the program prints it.
std::string Text(uint32_t id, FailureDetail detail = kNoDetail) {
    return OutcomeText(Outcome::Failed(id, detail)) + "\n";
}

// Runs the program's logic with the fake driver, a fake printer behind it and the fake
// clock, in a folder of its own, as if started on 7 March 2014.
class CliTest : public ::testing::Test {
  protected:
    ProgramResult Run(const std::vector<std::string>& args, bool errIsTerminal = false) {
        std::ostringstream out;
        std::ostringstream err;
        CliContext context{out, err};
        context.errIsTerminal = errIsTerminal;
        context.environment.loader = &driver;
        context.environment.clock = &clock;
        context.today = LocalDate{2014, 3, 7};
        const auto before = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        ProgramResult run;
        run.exitStatus = RunCli(args, context);
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

constexpr uint32_t kImage = 0x28000;
constexpr uint32_t kAddress = 0x10008000;
const std::vector<uint8_t> kEarlier{7, 7, 7};

// An LM-Q20 backup of what the fake printer holds before anything is written.
std::vector<uint8_t> PrinterImage() {
    std::vector<uint8_t> file = SingleRegionFile(HeaderOf(kQ20), kAddress, kImage, 0);
    for (uint32_t i = 0; i < kImage; ++i) {
        file.push_back(FakePrinter::SeedByte(kAddress + i));
    }
    return file;
}

// What the fake driver and printer do in a row: nothing special, no driver library, no
// printer answering, one frame refused, or another transfer holding the printer at 0.
enum class Fault { kNone, kNoDriver, kNoPrinter, kRefuseOpen, kRefuseAddress, kRefuseSetup, kHeld };

// What a command prints on which stream, its exit status, the frames it sends, the
// library it loads each time and the device it starts (the one --device names, else 0);
// afterwards the folder holds the files it started from, unchanged, and at most one new
// backup.
struct CommandCase {
    const char* args;  // split at spaces
    int exitStatus;
    std::string out;
    std::string err;
    size_t frames = 0;
    const char* library = nullptr;  // nullptr: none loaded
    const char* backup = nullptr;   // the file that holds a complete backup afterwards
    const char* speed = nullptr;    // on a terminal: the speed the bar ends with
    Fault fault = Fault::kNone;
};

// The files each row starts from: an LM-Q20 image as the fake printer holds it, one with
// four bytes changed, a small LM-Q20 backup, an earlier file, and a full LM-Q30 backup.
class Commands : public CliTestP<CommandCase> {
  protected:
    void SetUp() override {
        std::vector<uint8_t> changed = PrinterImage();
        changed[16] ^= 0xFF;
        changed[16 + 5] = 0x00;
        changed[16 + 6] = 0x01;
        changed.back() ^= 0x01;
        files_ = {{"a.vid", PrinterImage()},
                  {"b.vid", changed},
                  {"q20.vid", SingleRegionFile(HeaderOf(kQ20), kAddress, 600, 600)},
                  {"old.vid", kEarlier},
                  {"q30all.vid", MultiRegionFile(1)}};
        for (const auto& [name, bytes] : files_) {
            Write(name, bytes);
        }
        driver.moreActive = {5, 127};
    }
    std::map<std::string, std::vector<uint8_t>> files_;
};

bool IsSetupFrame(const std::vector<uint8_t>& frame) {
    return frame.size() == 13 && frame[1] == 0xEB && frame[2] == 0x09;
}

TEST_P(Commands, PrintTheirTextsAndLeaveTheFilesAlone) {
    const CommandCase& c = GetParam();
    const std::vector<std::string> args = Words(c.args);
    driver.loadFails = c.fault == Fault::kNoDriver;
    if (c.fault == Fault::kNoPrinter) {
        driver.activeIndex = -1;
        driver.moreActive.clear();
    }
    // The open frame is 16 bytes long, the address frame 8.
    printer.refuse = [&c](uint32_t, const std::vector<uint8_t>& f) {
        return (c.fault == Fault::kRefuseOpen && f.size() == 16) ||
               (c.fault == Fault::kRefuseAddress && f.size() == 8) ||
               (c.fault == Fault::kRefuseSetup && IsSetupFrame(f));
    };
    PrinterLock otherTransfer;
    if (c.fault == Fault::kHeld) {
        ASSERT_EQ(otherTransfer.TryAcquire("Hdv305.dll", 0), PrinterLockState::kHeld);
    }
    const ProgramResult run = Run(args, c.speed != nullptr);
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.out, c.out);
    if (c.speed == nullptr) {
        EXPECT_EQ(run.err, c.err);
    } else {  // each line of the bar begins with a carriage return; the last one ends
        ASSERT_EQ(run.err.front(), '\r');
        EXPECT_EQ(run.err.back(), '\n');
        const std::string last = run.err.substr(run.err.rfind('\r'));
        EXPECT_NE(last.find(std::string("%  ") + c.speed + "  "), std::string::npos) << last;
    }
    EXPECT_EQ(driver.writes.size(), c.frames);
    EXPECT_EQ(driver.loadedNames.empty(), c.library == nullptr);
    for (const std::string& name : driver.loadedNames) {
        EXPECT_EQ(name, c.library);
    }
    const auto device = std::find(args.begin(), args.end(), "--device");
    for (const int32_t index : driver.startIndices) {
        EXPECT_EQ(index, device != args.end() ? std::stoi(device[1]) : 0);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (c.backup != nullptr && name == c.backup) {
            EXPECT_EQ(entry.file_size(), args[1] == "LM-Q30" ? 186432u : 163856u);
        } else {
            ASSERT_TRUE(files_.contains(name)) << "left behind: " << name;
            EXPECT_EQ(ReadBytes(dir.File(name)), files_.at(name)) << name;
        }
    }
    EXPECT_TRUE(c.backup == nullptr || std::filesystem::exists(dir.Path() / c.backup));
}

constexpr const char* k305 = "Hdv305.dll";
const std::string kItself = "velloran-cli: the trace cannot go to the backup file itself\n";
const std::string kQ30Refused =
    std::string("velloran-cli: q30all.vid: an LM-Q30 backup does not go into an LM-Q10\n")
        .append(Text(117));

INSTANTIATE_TEST_SUITE_P(
    Table, Commands,
    ::testing::Values(
        CommandCase{"models", 0, "LM-Q30\nLM-Q20\nLM-Q10\n", ""},
        CommandCase{"--version", 0, "velloran-cli 1.2.0\n", ""},
        // A receive never replaces a file unless forced; it names the backup by the date.
        CommandCase{"receive LM-Q20 old.vid", 2, "",
                    "velloran-cli: \"old.vid\" exists; add --force to replace it\n"},
        // The bar's last line shows the bytes of memory moved over the whole run, each
        // exchange taking one 10 ms poll on the fake clock: 186368 bytes from an LM-Q30,
        // 163840 from the others.
        CommandCase{"receive LM-Q30 n.vid", 0, kDone, "", 2920, k305, "n.vid", "6.2 KiB/s"},
        CommandCase{"receive lm-q20 old.vid --force", 0, kDone, "", 2562, k305, "old.vid",
                    "6.2 KiB/s"},
        CommandCase{"receive LM-Q10", 0, kDone, "", 20482, "Hdv201.dll", "lmq10_140307.vid",
                    "800 B/s"},
        CommandCase{"send LM-Q30 q30all.vid", 0, kDone, "", 3173, k305, nullptr, "5.7 KiB/s"},
        CommandCase{"send LM-Q20 a.vid", 0, kDone, "", 2740, k305, nullptr, "5.8 KiB/s"},
        // How a transfer ends decides the stream of its text and the exit status.
        CommandCase{"receive LM-Q20 old.vid --force", 1, "", Text(118), 0, k305, nullptr, nullptr,
                    Fault::kNoDriver},
        CommandCase{"send LM-Q20 q20.vid", 1, "", Text(117), 0, k305, nullptr, nullptr,
                    Fault::kNoDriver},
        CommandCase{"receive LM-Q20 old.vid --force", 1, "", Text(118), 1, k305, nullptr, nullptr,
                    Fault::kRefuseOpen},
        CommandCase{"receive LM-Q20 old.vid --force", 1, "", Text(120, 0xEC), 2, k305, nullptr,
                    nullptr, Fault::kRefuseAddress},
        CommandCase{"send LM-Q20 q20.vid", 1, "", Text(119, 0x000900EB), 4, k305, nullptr, nullptr,
                    Fault::kRefuseSetup},
        CommandCase{"send LM-Q20 q20.vid", 0, kDone, "", 19, k305},
        // send and verify take only what a send takes: the reason, then the send's refusal.
        CommandCase{"send LM-Q10 q30all.vid", 1, "", kQ30Refused, 0, "Hdv201.dll"},
        CommandCase{"verify LM-Q10 q30all.vid", 1, "", kQ30Refused},
        // Open, address, then 64-byte reads.
        CommandCase{"verify LM-Q20 b.vid", 3,
                    "differs: 3 ranges, 4 bytes of 163840 compared\n"
                    "  0x10008000  1 byte  file: 33  printer: cc\n"
                    "  0x10008005  2 bytes  file: 00 01  printer: e3 82\n"
                    "  0x1002ffff  1 byte  file: df  printer: de\n",
                    "", 2562, k305},
        CommandCase{"send LM-Q20 q20.vid --verify", 0, kDone + "identical\n", "", 19 + 2562, k305},
        CommandCase{"diff a.vid b.vid", 3,
                    "differs: 3 ranges, 4 bytes of 163840 compared\n"
                    "  0x10008000  1 byte  A: cc  B: 33\n"
                    "  0x10008005  2 bytes  A: e3 82  B: 00 01\n"
                    "  0x1002ffff  1 byte  A: de  B: df\n",
                    ""},
        CommandCase{"diff a.vid a.vid", 0, "identical\n", ""},
        CommandCase{"diff a.vid gone.vid", 2, "", "velloran-cli: gone.vid: missing\n"},
        // Printers answer at 0, 5 and 127; another transfer holds the one at 0, which is
        // refused with nothing sent and no other printer tried, while 127 is free.
        CommandCase{"devices LM-Q20", 0, "0 (in use)\n5\n127\n", "", 0, k305, nullptr, nullptr,
                    Fault::kHeld},
        CommandCase{"receive LM-Q20 n.vid", 1, "", Text(125), 0, k305, nullptr, nullptr,
                    Fault::kHeld},
        CommandCase{"devices LM-Q20", 1, "", "velloran-cli: no LM-Q20 printer answers\n", 0, k305,
                    nullptr, nullptr, Fault::kNoPrinter},
        CommandCase{"verify LM-Q20 a.vid --device 127", 0, "identical\n", "", 2562, k305, nullptr,
                    nullptr, Fault::kHeld},
        CommandCase{"verify LM-Q20 a.vid --device 6", 1, "", Text(118), 0, k305},
        // The trace never overwrites the backup, a receive's partial file, nor anything but
        // a regular file.
        CommandCase{"verify LM-Q20 a.vid --trace a.vid", 2, "", kItself},
        CommandCase{"receive LM-Q20 n.vid --trace n.vid.velloran-partial", 2, "", kItself},
        CommandCase{"send LM-Q20 a.vid --trace .", 2, "",
                    "velloran-cli: \".\" is not a regular file\n"}));

// The printer stays held from the send through the verify: when the verify loads the
// driver library, between the two halves, no other transfer could take it.
TEST_F(CliTest, SendVerifyHoldsThePrinterAcrossBothHalves) {
    Write("q20.vid", SingleRegionFile(HeaderOf(kQ20), kAddress, 600, 600));
    std::vector<PrinterLockState> otherAtEachLoad;
    driver.onLoad = [&] { otherAtEachLoad.push_back(PrinterLock().TryAcquire(k305, 0)); };
    EXPECT_EQ(Run({"send", "LM-Q20", "q20.vid", "--verify"}).exitStatus, 0);
    EXPECT_EQ(otherAtEachLoad, (std::vector{PrinterLockState::kHeld, PrinterLockState::kBusy}));
    EXPECT_FALSE(PrinterLockTaken(k305, 0));
}

TEST_F(CliTest, TraceOfARefusedSendNamesTheFrame) {
    printer.refuse = [](uint32_t, const std::vector<uint8_t>& f) { return IsSetupFrame(f); };
    Write("b.vid", PrinterImage());
    EXPECT_EQ(Run({"send", "LM-Q20", "b.vid", "--trace", "t.txt"}).exitStatus, 1);
    const std::vector<uint8_t> bytes = ReadBytes(dir.File("t.txt"));
    const std::string trace(bytes.begin(), bytes.end());
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 5);
    EXPECT_NE(
        trace.find("setup     02 eb 09 08 00 00 80 00 10 00 80 02 00  polls 1  reply 15 refused\n"),
        std::string::npos)
        << trace;
    EXPECT_NE(trace.find(" ms  outcome: "), std::string::npos) << trace;
}

// Help goes to standard output; the program tells nothing else.
TEST_F(CliTest, HelpGoesToStandardOutput) {
    const ProgramResult help = Run({"receive", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.out.starts_with("Usage:\n  velloran-cli models  ")) << help.out;
    EXPECT_EQ(help.err, "");
}

TEST_F(CliTest, InspectDescribesASingleRegionFileLineByLine) {
    Write("lmq20.vid", SingleRegionFile(HeaderOf(kQ20), kAddress, kImage, kImage));
    EXPECT_EQ(Run({"inspect", "lmq20.vid"}).out,
              "file:    lmq20.vid\n"
              "size:    163856 bytes, as expected\n"
              "header:  00 08 09 01 00 00 00 00 (LM-Q20)\n"
              "records:\n"
              "  1  at      8  address 0x10008000  length 0x28000 (163840)  ok\n"
              "send to:\n"
              "  LM-Q30  accepted: source layout 1 (LM-Q20 file), 1248 frames\n"
              "  LM-Q20  accepted: region 0x10008000, 163840 bytes, 2740 frames\n"
              "  LM-Q10  refused: the file test does not accept the file\n");
}

// The same analysis for scripts, quotes and control characters in the path escaped.
TEST_F(CliTest, InspectJsonForScripts) {
#if defined(_WIN32)
    const std::string name = "b.vid";  // no quote or control character in a Windows name
    const std::string escaped = "b.vid";
#else
    const std::string name = "a\"b\n.vid";
    const std::string escaped = "a\\\"b\\u000a.vid";
#endif
    Write(name, SingleRegionFile(HeaderOf(kQ20), kAddress, kImage, 20));
    const ProgramResult run = Run({"inspect", "--json", name});
    EXPECT_EQ(run.exitStatus, 0);
    std::string expected = "{\n  \"path\": \"";
    expected.append(escaped).append(
        "\",\n"
        "  \"size\": 36,\n"
        "  \"header\": \"00 08 09 01 00 00 00 00\",\n"
        "  \"headerModel\": \"LM-Q20\",\n"
        "  \"expectedSize\": 163856,\n"
        "  \"records\": [\n"
        "    {\"offset\": 8, \"present\": true, \"address\": 268468224, \"length\": "
        "163840, \"expectedAddress\": 268468224, \"expectedLength\": 163840}\n"
        "  ],\n"
        "  \"sends\": [\n"
        "    {\"model\": \"LM-Q30\", \"accepted\": false, \"frames\": 0, \"sourceLayout\": "
        "1, \"reason\": \"wrong size: 36 bytes, expected 98324\"},\n"
        "    {\"model\": \"LM-Q20\", \"accepted\": false, \"frames\": 0, \"sourceLayout\": "
        "null, \"reason\": \"wrong size: 36 bytes, expected 163856\"},\n"
        "    {\"model\": \"LM-Q10\", \"accepted\": false, \"frames\": 0, \"sourceLayout\": "
        "null, \"reason\": \"an LM-Q20 backup does not go into an LM-Q10\"}\n"
        "  ]\n}\n");
    EXPECT_EQ(run.out, expected);
}

// A short file: what it lacks, and who refuses it why.
TEST_F(CliTest, InspectShowsWhatAShortFileLacks) {
    const std::pair<std::vector<uint8_t>, std::vector<std::string>> cases[] = {
        {SingleRegionFile(HeaderOf(kQ30), 0x10E60000, 0x5000, 1),
         {"size:    17 bytes, expected 186432 (186415 short)\n",
          "  2  at  20496  missing: the file ends before it\n",
          "  LM-Q30  refused: the file ends before its region plan (186432 bytes needed)\n"}},
        {{1, 2, 3},
         {"size:    3 bytes\n", "header:  missing: the file is shorter than 8 bytes\n",
          "  LM-Q30  refused", "  LM-Q20  refused", "  LM-Q10  refused"}}};
    for (const auto& [bytes, lines] : cases) {
        Write("b.vid", bytes);
        const std::string text = Run({"inspect", "b.vid"}).out;
        for (const std::string& line : lines) {
            EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\n" << text;
        }
    }
}

// Why a file is refused, in a few words.
TEST(RefusalReason, SaysWhyInAFewWords) {
    TempDir dir;
    const std::pair<std::vector<uint8_t>, const char*> rows[] = {
        {{0, 8, 9}, "wrong size: 3 bytes, expected at least 17"},
        {SingleRegionFile({1, 2, 3, 4, 5, 6, 0, 0}, kAddress, 4, 4), "unknown header"},
        {SingleRegionFile({0, 8, 9, 1, 0, 0, 1, 0}, kAddress, 4, 4), "unknown header"},
    };
    for (const auto& [bytes, reason] : rows) {
        WriteBytes(dir.File("f.vid"), bytes);
        EXPECT_EQ(RefusalReason(dir.File("f.vid"), kQ30), reason);
    }
    EXPECT_EQ(RefusalReason(dir.Path().string(), kQ30), "unreadable");
}

TEST(ComparisonText, ListsTwentyRangesThenCounts) {
    ImageComparison comparison;
    for (uint32_t i = 0; i < 21; ++i) {
        comparison.ranges.push_back({0x100 + 2 * i, 1, {0xAA}, {0xBB}, false});
    }
    comparison.ranges.push_back({0x200, 9, {1, 2, 3, 4, 5, 6, 7, 8}, {}, true});
    comparison.comparedBytes = 600;
    comparison.differingBytes = 30;
    const std::string text = FormatComparison(comparison, {"file", "printer"});
    EXPECT_TRUE(
        text.starts_with("differs: 22 ranges, 30 bytes of 600 compared\n"
                         "  0x00000100  1 byte  file: aa  printer: bb\n"))
        << text;
    EXPECT_TRUE(
        text.ends_with("  0x00000126  1 byte  file: aa  printer: bb\n"
                       "  and 2 more ranges\n"))
        << text;
    comparison.ranges.erase(comparison.ranges.begin(), comparison.ranges.begin() + 21);
    EXPECT_EQ(FormatComparison(comparison, {"A", "B"}),
              "differs: 1 range, 30 bytes of 600 compared\n"
              "  0x00000200  9 bytes  A: 01 02 03 04 05 06 07 08 ...  B holds none\n");
}

struct ValidCase {
    const char* args;  // split at spaces
    Invocation invocation;
};

class ValidArguments : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidArguments, BecomeTheInvocation) {
    const ParsedArguments parsed = ParseArguments(Words(GetParam().args));
    ASSERT_TRUE(parsed.invocation.has_value()) << parsed.error;
    EXPECT_TRUE(*parsed.invocation == GetParam().invocation) << GetParam().args;
}

// Model names in any case; --help anywhere before `--` wins, even over errors, and over
// --version; `--` makes what follows a file; option values are taken in order. (GCC 12 warns
// about the members a designated initialiser leaves to their defaults.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
INSTANTIATE_TEST_SUITE_P(
    Commands, ValidArguments,
    ::testing::Values(
        ValidCase{"send LM-q10 b.vid",
                  {.command = Command::kSend, .modelIndex = 2, .file = "b.vid"}},
        ValidCase{"--help", {}}, ValidCase{"send nope -h", {}}, ValidCase{"--version -h", {}},
        ValidCase{"models --version", {.command = Command::kVersion}},
        ValidCase{"send LM-Q20 -- -dash.vid",
                  {.command = Command::kSend, .modelIndex = 1, .file = "-dash.vid"}},
        ValidCase{"inspect -- --help", {.command = Command::kInspect, .file = "--help"}},
        ValidCase{"send --trace --verify LM-Q30 b.vid --verify --device 127",
                  {.command = Command::kSend,
                   .modelIndex = 0,
                   .file = "b.vid",
                   .verify = true,
                   .trace = "--verify",
                   .device = 127}},
        ValidCase{"diff a.vid -- -b.vid",
                  {.command = Command::kDiff, .file = "a.vid", .secondFile = "-b.vid"}},
        ValidCase{"inspect --json a.vid",
                  {.command = Command::kInspect, .file = "a.vid", .json = true}}));
#pragma GCC diagnostic pop

struct UsageErrorCase {
    const char* args;  // split at spaces
    const char* errorPart;
};

using UsageErrors = CliTestP<UsageErrorCase>;

// Each usage error ends with status 2, says why on standard error, and neither loads a
// driver nor writes a file.
TEST_P(UsageErrors, ExitTwoAndTouchNothing) {
    const ProgramResult run = Run(Words(GetParam().args));
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
        UsageErrorCase{"send LM-Q20 a.vid --force", "--force is only for receive"},
        UsageErrorCase{"inspect", "missing argument; usage: velloran-cli inspect FILE [--json]\n"},
        UsageErrorCase{"inspect absent.vid", "velloran-cli: cannot read \"absent.vid\"\n"},
        UsageErrorCase{"receive LM-Q20 --verify", "--verify is only for send"},
        UsageErrorCase{"diff a b --trace t", "--trace is only for receive, send, verify"},
        UsageErrorCase{"send LM-Q20 a.vid --trace", "--trace needs a value"},
        UsageErrorCase{"verify LM-Q20 a.vid --device 128",
                       "--device takes an index from 0 to 127, not \"128\""},
        UsageErrorCase{"receive LM-Q20 --device -1", "not \"-1\""},
        UsageErrorCase{"diff a.vid", "missing argument; usage: velloran-cli diff A.vid B.vid\n"},
        UsageErrorCase{"devices", "missing argument; usage: velloran-cli devices MODEL\n"}));

#if defined(_WIN32)
// Names Windows would store otherwise than typed: a ':' writes a stream of another file,
// trailing dots and spaces are dropped.
INSTANTIATE_TEST_SUITE_P(
    WindowsNames, UsageErrors,
    ::testing::Values(
        UsageErrorCase{"receive LM-Q20 ab:c.vid",
                       "velloran-cli: \"ab:c.vid\": a file name may not hold ':' (Windows"},
        UsageErrorCase{"send LM-Q20 b.vid.", "\"b.vid.\": a file name may not end with a dot"},
        UsageErrorCase{"verify LM-Q20 b.vid --trace t.txt:x", "\"t.txt:x\": a file name may"},
        UsageErrorCase{"diff a.vid c:\\x\\b.vid.", "may not end with a dot or a space"}));
#endif

// A progress line shows bar, percent, speed and time left, from the frames done of all,
// the time taken and the bytes of memory the run moves; speeds pick their unit;
// durations are minutes and seconds, or hours.
TEST(ProgressFormat, LinesSpeedsAndDurations) {
    const std::pair<std::string, const char*> rows[] = {
        {FormatProgressLine({0, 20482, 0, 163840}),
         "[..............................]   0%  --  -- left"},
        {FormatProgressLine({0, 0, 500, 163840}),  // no range yet
         "[..............................]   0%  --  -- left"},
        // 8 KiB of 16 KiB in 2 s: 4 KiB/s; the other half takes 2 s more.
        {FormatProgressLine({1024, 2048, 2000, 16384}),
         "[###############...............]  50%  4.0 KiB/s  0:02 left"},
        // 100 of 2740 frames in 1 s carry 5979.6 of 163840 bytes; 2640 frames left: 26.4 s,
        // shown rounded up.
        {FormatProgressLine({100, 2740, 1000, 163840}),
         "[#.............................]   3%  5.8 KiB/s  0:27 left"},
        {FormatProgressLine({2740, 2740, 27400, 163840}),
         "[##############################] 100%  5.8 KiB/s  0:00 left"},
        {FormatProgressLine({3000, 2740, 27400, 163840}),  // past the end
         "[##############################] 100%  5.8 KiB/s  0:00 left"},
        {FormatSpeed(100), "100 B/s"},
        {FormatSpeed(1023.2), "1023 B/s"},
        {FormatSpeed(1024), "1.0 KiB/s"},
        {FormatSpeed(1048576), "1.0 MiB/s"},
        {FormatDuration(754), "12:34"},
        {FormatDuration(3723), "1:02:03"},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(text, expected);
    }
}

size_t Count(const std::string& text, char c) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

// A bar redraws at most every 100 ms, so thousands of steps a second cost a few lines;
// each line is padded so a short one covers a long one; Finish ends the line only when
// one was drawn.
TEST(TerminalProgressBar, RedrawsAtMostEveryHundredMillisecondsAndPadsItsLines) {
    std::ostringstream out;
    FakeClock clock;
    TerminalProgressBar(out, clock, 80).Finish();
    EXPECT_EQ(out.str(), "");
    TerminalProgressBar bar(out, clock, 8000);
    bar.SetRange(1000);
    EXPECT_EQ(out.str().size(), 1u + 72u);
    bar.SetStep(1);
    for (int i = 0; i < 999; ++i) {
        clock.Advance(1);
        bar.Step();
    }
    // The range draws once; 999 ms of steps draw 9 more times; a full bar at once.
    EXPECT_EQ(Count(out.str(), '\r'), 10u);
    bar.Step();
    EXPECT_EQ(Count(out.str(), '\r'), 11u);
    bar.Finish();
    EXPECT_EQ(out.str().back(), '\n');
    EXPECT_NE(out.str().rfind("] 100%  7.8 KiB/s  0:00 left   "), std::string::npos) << out.str();
}

}  // namespace
}  // namespace velloran::testing
