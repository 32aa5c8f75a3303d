// Hundreds of transfers of every kind through the simulated printer on the fake clock,
// each with a fault drawn from a seeded generator. After each: exactly one outcome, one
// the fault allows; no partial file; an earlier backup intact after a failed receive; a
// receive reported saved only after its bytes and then its name were flushed to the disk;
// a held file refused at once; the library freed; no descriptor or thread left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "catalogue/backup_layout.h"
#include "jobs/receive_file.h"
#include "jobs/string_table.h"
#include "jobs/transfer_session.h"
#include "platform/exclusive_file.h"
#include "platform/file_replace.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/process_resources.h"
#include "tests/support/recording_sinks.h"
#include "tests/support/replace_log.h"
#include "tests/support/sim_environment.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kDefaultTransfers = 240;
const std::vector<uint8_t> kEarlier{'e', 'a', 'r', 'l', 'i', 'e', 'r'};

enum class Fault {
    kNone,
    kRefuse,
    kSilent,
    kSplit,
    kPad,
    kFailReadCount,
    kFailReadNoCount,
    kSlowInTime,
    kSlowPastDeadline,
    kNoActiveDevice,
    kOtherIndex,
    kStartFails,
    kHeldFile,   // another program holds the file
    kFlushFails  // the disk refuses to flush the complete backup
};
constexpr int kFaultKinds = 14;
const char* const kFaultNames[kFaultKinds] = {"none",
                                              "refuse",
                                              "silent",
                                              "split",
                                              "pad",
                                              "fail-read-count",
                                              "fail-read-nocount",
                                              "slow-in-time",
                                              "slow-past-deadline",
                                              "no-active-device",
                                              "other-index",
                                              "start-fails",
                                              "held-file",
                                              "flush-fails"};

struct Transfer {
    int32_t model;
    int32_t direction;
    Fault fault;
    uint32_t at;  // the exchange the fault hits, where it has one
};

std::set<uint32_t> FailureIds(const Transfer& t) {
    return t.direction == kDirectionSend
               ? std::set<uint32_t>{IDS_SEND_FAILED, IDS_SEND_INTERRUPTED}
               : std::set<uint32_t>{IDS_RECEIVE_FAILED, IDS_RECEIVE_INTERRUPTED};
}

// What the fault allows: success only, failure only, or either (a fault that hits an
// exchange past the end of the transfer, or a failed read that block reads ride out).
bool Allowed(const Transfer& t, const Outcome& outcome) {
    const uint32_t openFailure =
        t.direction == kDirectionSend ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED;
    switch (t.fault) {
        case Fault::kNone:
        case Fault::kSplit:
        case Fault::kPad:
        case Fault::kFailReadNoCount:
        case Fault::kOtherIndex:
            return outcome.success;
        case Fault::kNoActiveDevice:
        case Fault::kStartFails:
        case Fault::kSlowPastDeadline:
            return !outcome.success && outcome.outcomeId == openFailure && outcome.detail == 0;
        case Fault::kHeldFile:
        case Fault::kFlushFails:
            return t.direction == kDirectionSend
                       ? outcome == (t.fault == Fault::kHeldFile
                                         ? Outcome::Failed(IDS_SEND_FAILED, 0)
                                         : Outcome::Succeeded())
                       : outcome == Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0);
        case Fault::kSlowInTime:  // replies just inside the deadline; the third is refused
            return !outcome.success && FailureIds(t).count(outcome.outcomeId) == 1 &&
                   outcome.detail != 0;
        default:
            return outcome.success || FailureIds(t).count(outcome.outcomeId) == 1;
    }
}

class FaultSoak : public ::testing::Test {
  protected:
    Transfer Draw() {
        Transfer t{static_cast<int32_t>(random_() % 3), static_cast<int32_t>(random_() % 2),
                   static_cast<Fault>(random_() % kFaultKinds), 0};
        t.at = 1 + random_() % 3200;
        return t;
    }

    void SetFault(SimEnvironment& sim, const Transfer& t) {
        const std::string at = std::to_string(t.at);
        switch (t.fault) {
            case Fault::kRefuse:
                sim.Set({{"VELLORAN_SIM_REFUSE_FRAME", at}});
                break;
            case Fault::kSilent:
                sim.Set({{"VELLORAN_SIM_SILENT_FROM", at}});
                break;
            case Fault::kSplit:
                sim.Set({{"VELLORAN_SIM_SPLIT", std::to_string(1 + t.at % 9)}});
                break;
            case Fault::kPad:
                sim.Set({{"VELLORAN_SIM_PAD", std::to_string(1 + t.at % 4)}});
                break;
            case Fault::kFailReadCount:
                sim.Set({{"VELLORAN_SIM_FAIL_READ", at + ":count"}});
                break;
            case Fault::kFailReadNoCount:
                sim.Set({{"VELLORAN_SIM_FAIL_READ", at + ":nocount"}});
                break;
            case Fault::kSlowInTime:
                sim.Set({{"VELLORAN_SIM_LATE_READS", "990"}, {"VELLORAN_SIM_REFUSE_FRAME", "3"}});
                break;
            case Fault::kSlowPastDeadline:
                sim.Set({{"VELLORAN_SIM_LATE_READS", "1000"}});
                break;
            case Fault::kNoActiveDevice:
                sim.Set({{"VELLORAN_SIM_ACTIVE_INDEX", "none"}});
                break;
            case Fault::kOtherIndex:
                sim.Set({{"VELLORAN_SIM_ACTIVE_INDEX", std::to_string(t.at % 128)}});
                break;
            case Fault::kStartFails:
                sim.Set({{"VELLORAN_SIM_FAIL_START", "1"}});
                break;
            case Fault::kNone:
            case Fault::kHeldFile:
            case Fault::kFlushFails:
                sim.Set({});
                break;
        }
    }

    // A backup of the kind the model accepts, received earlier from the clean printer.
    void PrepareSendFile(SimEnvironment& sim, const Transfer& t, const std::string& path) {
        sim.Set({});
        RecordingProgress progress;
        const Outcome received =
            RunTransfer({t.model, kDirectionReceive, path}, progress, {&loader_, &clock_});
        ASSERT_TRUE(received.success);
    }

    void TearDown() override { ReplaceStepsInUse() = SystemReplaceSteps(); }

    std::vector<std::string> replaceLog_;
    bool failFlush_ = false;
    std::mt19937 random_;
    FakeClock clock_;
    CountingLoader loader_;
};

TEST_F(FaultSoak, EveryTransferEndsWithOneAllowedOutcomeAndLosesNothing) {
    const char* seedText = std::getenv("VELLORAN_SOAK_SEED");
    const uint32_t seed = seedText != nullptr
                              ? static_cast<uint32_t>(std::strtoul(seedText, nullptr, 10))
                              : 20261206u;
    const char* countText = std::getenv("VELLORAN_SOAK_TRANSFERS");
    const uint32_t transfers = countText != nullptr
                                   ? static_cast<uint32_t>(std::strtoul(countText, nullptr, 10))
                                   : kDefaultTransfers;
    random_.seed(seed);
    SimEnvironment sim;
    TempDir files;
    ReplaceStepsInUse() = LoggedReplaceSteps(replaceLog_, "flush", failFlush_);
    // A sanitizer starts a thread of its own with the process's first other thread: let
    // that happen before the threads are counted.
    std::thread([] {}).join();
    std::map<std::string, uint32_t> faults;
    std::map<std::string, uint32_t> outcomes;

    for (uint32_t i = 0; i < transfers; ++i) {
        const Transfer t = Draw();
        std::ostringstream where;
        where << "seed " << seed << " transfer " << i << " model " << t.model << " direction "
              << t.direction << " fault " << kFaultNames[static_cast<int>(t.fault)] << " at "
              << t.at << " (rerun with VELLORAN_SOAK_SEED=" << seed << ")";
        const std::string path = files.File("backup-" + std::to_string(i) + ".vid");
        failFlush_ = false;
        if (t.direction == kDirectionSend) {
            PrepareSendFile(sim, t, path);
        } else {
            WriteBytes(path, kEarlier);
        }
        const std::vector<uint8_t> before = ReadBytes(path);
        const size_t handles = OpenHandleCount();
        const size_t threads = ThreadCount();
        const int frees = loader_.frees;
        SetFault(sim, t);
        replaceLog_.clear();
        failFlush_ = t.fault == Fault::kFlushFails;
        std::optional<ExclusiveFile> holder;
        if (t.fault == Fault::kHeldFile) {
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
            EXPECT_EQ(session.context.deviceLink.deviceHandle, 0u) << where.str();
        }
        holder.reset();
        const Outcome outcome = sink.Wait();
        ASSERT_EQ(sink.Deliveries(), 1u) << where.str();
        ASSERT_TRUE(Allowed(t, outcome))
            << where.str() << ": outcome " << outcome.outcomeId << " detail " << outcome.detail;
        EXPECT_EQ(loader_.frees, frees + 1) << where.str();
        EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(ReceiveFile::PartialPathFor(path))))
            << where.str();
        const std::vector<uint8_t> after = ReadBytes(path);
        const std::string partial = ReceiveFile::PartialPathFor(path);
        if (t.direction == kDirectionReceive && outcome.success) {
            EXPECT_EQ(after.size(), t.model == 0 ? kMultiRegionFileLength : 0x28010u)
                << where.str();
            // Reported saved only once the bytes and then the new name were on the disk.
            EXPECT_EQ(replaceLog_,
                      (std::vector<std::string>{"flush " + partial, "move " + partial + " " + path,
                                                "folder " + Utf8FromPath(files.Path())}))
                << where.str();
        } else {
            EXPECT_EQ(after, before) << where.str();
        }
        if (t.fault == Fault::kHeldFile) {  // refused at the file header, after one exchange
            EXPECT_LT(clock_.TickMs() - startMs, 1000u) << where.str();
        }
        EXPECT_EQ(OpenHandleCount(), handles) << where.str();
        EXPECT_EQ(ThreadCount(), threads) << where.str();
        std::filesystem::remove(PathFromUtf8(path));
        ++faults[kFaultNames[static_cast<int>(t.fault)]];
        ++outcomes[outcome.success ? "success" : std::to_string(outcome.outcomeId)];
    }

    std::ostringstream summary;
    summary << "soak: " << transfers << " transfers, seed " << seed << "; faults:";
    for (const auto& [name, count] : faults) {
        summary << " " << name << "=" << count;
    }
    summary << "; outcomes:";
    for (const auto& [id, count] : outcomes) {
        summary << " " << id << "=" << count;
    }
    std::cout << summary.str() << std::endl;
}

}  // namespace
}  // namespace velloran::testing
