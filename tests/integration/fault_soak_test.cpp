// Hundreds of transfers of every kind through the simulated printer on the fake clock,
// each with a fault drawn from a seeded generator. After each: exactly one outcome, one
// the fault allows; no partial file; an earlier backup intact after a failed receive; a
// receive reported saved only after its bytes and then its name were flushed to the disk;
// a held file refused at once; the library freed; no descriptor or thread left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>

#include "jobs/receive_file.h"
#include "jobs/string_table.h"
#include "jobs/transfer_session.h"
#include "platform/exclusive_file.h"
#include "platform/file_replace.h"
#include "tests/support/fake_clock.h"
#include "tests/support/process_resources.h"
#include "tests/support/recording_sinks.h"
#include "tests/support/replace_log.h"
#include "tests/support/sim_environment.h"

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kEarlier{'e', 'a', 'r', 'l', 'i', 'e', 'r'};

// What a fault allows: success only, the open failure only (detail 0), either (a fault
// that hits an exchange past the end of the transfer, or a failed read that block reads
// ride out), a refusal just inside the deadline, or what a held file or a disk that
// refuses to flush gives.
enum class Allows { kSuccess, kOpenFailure, kEither, kRefusal, kHeldFile, kFlushFails };

// A fault: the simulated printer's variable and its value, where `#` stands for the
// exchange the fault hits, or 1 + that modulo `modulo`.
struct Fault {
    const char* name;
    Allows allows;
    const char* variable;
    const char* value;
    uint32_t modulo;
};
constexpr Fault kFaults[] = {
    {"none", Allows::kSuccess, nullptr, "", 0},
    {"refuse", Allows::kEither, "VELLORAN_SIM_REFUSE_FRAME", "#", 0},
    {"silent", Allows::kEither, "VELLORAN_SIM_SILENT_FROM", "#", 0},
    {"split", Allows::kSuccess, "VELLORAN_SIM_SPLIT", "#", 9},
    {"pad", Allows::kSuccess, "VELLORAN_SIM_PAD", "#", 4},
    {"fail-read-count", Allows::kEither, "VELLORAN_SIM_FAIL_READ", "#:count", 0},
    {"fail-read-nocount", Allows::kSuccess, "VELLORAN_SIM_FAIL_READ", "#:nocount", 0},
    {"slow-in-time", Allows::kRefusal, "VELLORAN_SIM_LATE_READS", "990", 0},  // third refused
    {"slow-past-deadline", Allows::kOpenFailure, "VELLORAN_SIM_LATE_READS", "1000", 0},
    {"no-active-device", Allows::kOpenFailure, "VELLORAN_SIM_ACTIVE_INDEX", "none", 0},
    {"other-index", Allows::kSuccess, "VELLORAN_SIM_ACTIVE_INDEX", "#", 127},
    {"start-fails", Allows::kOpenFailure, "VELLORAN_SIM_FAIL_START", "1", 0},
    {"held-file", Allows::kHeldFile, nullptr, "", 0},  // another program holds the file
    {"flush-fails", Allows::kFlushFails, nullptr, "", 0},
};

struct Transfer {
    int32_t model;
    int32_t direction;
    const Fault* fault;
    uint32_t at;  // the exchange the fault hits, where it has one
};

bool Allowed(const Transfer& t, const Outcome& outcome) {
    const bool send = t.direction == kDirectionSend;
    const uint32_t failed = send ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED;
    const uint32_t interrupted = send ? IDS_SEND_INTERRUPTED : IDS_RECEIVE_INTERRUPTED;
    const bool failure = outcome.outcomeId == failed || outcome.outcomeId == interrupted;
    switch (t.fault->allows) {
        case Allows::kSuccess:
            return outcome.success;
        case Allows::kOpenFailure:
            return outcome == Outcome::Failed(failed, 0);
        case Allows::kEither:
            return outcome.success || failure;
        case Allows::kRefusal:
            return !outcome.success && failure && outcome.detail != 0;
        case Allows::kHeldFile:
            return outcome == Outcome::Failed(send ? failed : interrupted, 0);
        case Allows::kFlushFails:
            return outcome == (send ? Outcome::Succeeded() : Outcome::Failed(interrupted, 0));
    }
    return false;
}

void SetFault(SimEnvironment& sim, const Transfer& t) {
    sim.Set({});
    if (t.fault->variable != nullptr) {
        std::string value = t.fault->value;
        if (const size_t mark = value.find('#'); mark != std::string::npos) {
            const uint32_t n = t.fault->modulo != 0 ? 1 + t.at % t.fault->modulo : t.at;
            value.replace(mark, 1, std::to_string(n));
        }
        SetEnvVar(t.fault->variable, value);
    }
    if (t.fault->allows == Allows::kRefusal) {
        SetEnvVar("VELLORAN_SIM_REFUSE_FRAME", "3");
    }
}

// Keeps the replace steps logged while it lives.
class FaultSoak : public ::testing::Test {
  protected:
    void TearDown() override { ReplaceStepsInUse() = SystemReplaceSteps(); }

    std::vector<std::string> replaceLog_;
    int flushError_ = 0;
    std::mt19937 random_;
    FakeClock clock_;
    CountingLoader loader_;
};

uint32_t FromEnvironment(const char* name, uint32_t otherwise) {
    const char* text = std::getenv(name);
    return text != nullptr ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : otherwise;
}

TEST_F(FaultSoak, EveryTransferEndsWithOneAllowedOutcomeAndLosesNothing) {
    const uint32_t seed = FromEnvironment("VELLORAN_SOAK_SEED", 20261206u);
    const uint32_t transfers = FromEnvironment("VELLORAN_SOAK_TRANSFERS", 240);
    random_.seed(seed);
    SimEnvironment sim;
    TempDir files;
    ReplaceStepsInUse() = LoggedReplaceSteps(replaceLog_, "flush", flushError_);
    // A sanitizer starts a thread of its own with the process's first other thread: let
    // that happen before the threads are counted.
    std::thread([] {}).join();

    for (uint32_t i = 0; i < transfers; ++i) {
        Transfer t{static_cast<int32_t>(random_() % 3), static_cast<int32_t>(random_() % 2),
                   &kFaults[random_() % std::size(kFaults)], 0};
        t.at = 1 + random_() % 3200;
        SCOPED_TRACE(::testing::Message()
                     << "seed " << seed << " transfer " << i << " model " << t.model
                     << " direction " << t.direction << " fault " << t.fault->name << " at " << t.at
                     << " (rerun with VELLORAN_SOAK_SEED=" << seed << ")");
        const std::string path = files.File("backup-" + std::to_string(i) + ".vid");
        const std::string partial = ReceiveFile::PartialPathFor(path);
        flushError_ = 0;
        if (t.direction == kDirectionSend) {  // a backup received from the clean printer
            sim.Set({});
            RecordingProgress progress;
            ASSERT_TRUE(
                RunTransfer({t.model, kDirectionReceive, path}, progress, {&loader_, &clock_})
                    .success);
        } else {
            WriteBytes(path, kEarlier);
        }
        const std::vector<uint8_t> before = ReadBytes(path);
        const size_t handles = OpenHandleCount();
        const size_t threads = ThreadCount();
        const int frees = loader_.frees;
        SetFault(sim, t);
        replaceLog_.clear();
        flushError_ = t.fault->allows == Allows::kFlushFails ? EIO : 0;
        std::optional<ExclusiveFile> holder;
        if (t.fault->allows == Allows::kHeldFile) {
            holder.emplace(path, FileAccess::kWriteExisting);
        }
        const uint32_t startMs = clock_.TickMs();

        RecordingProgress progress;
        AwaitedOutcome sink;
        {
            TransferSession session({&loader_, &clock_});
            session.context.modelIndex = t.model;
            session.context.direction = t.direction;
            session.context.filePath = path;
            session.context.progressBar = &progress;
            session.context.outcomeSink = &sink;
            if (session.Connect()) {
                session.Start();
            }
            sink.Wait();
            session.Join();
            session.Release();
            EXPECT_EQ(session.context.deviceLink.deviceHandle, 0u);
        }
        holder.reset();
        const Outcome outcome = sink.Wait();
        ASSERT_EQ(sink.Deliveries(), 1u);
        ASSERT_TRUE(Allowed(t, outcome))
            << "outcome " << outcome.outcomeId << " detail " << outcome.detail;
        EXPECT_EQ(loader_.frees, frees + 1);
        EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(partial)));
        if (t.direction == kDirectionReceive && outcome.success) {
            EXPECT_EQ(ReadBytes(path).size(), t.model == 0 ? 186432u : 163856u);
            // Reported saved only once the bytes and then the new name were on the disk.
            EXPECT_EQ(replaceLog_,
                      (std::vector<std::string>{"flush " + partial, "move " + partial + " " + path,
                                                "folder " + Utf8FromPath(files.Path())}));
        } else {
            EXPECT_EQ(ReadBytes(path), before);
        }
        // A held file is refused at the file header, after one exchange.
        EXPECT_TRUE(t.fault->allows != Allows::kHeldFile || clock_.TickMs() - startMs < 1000);
        EXPECT_EQ(OpenHandleCount(), handles);
        EXPECT_EQ(ThreadCount(), threads);
        std::filesystem::remove(PathFromUtf8(path));
    }
}

}  // namespace
}  // namespace velloran::testing
