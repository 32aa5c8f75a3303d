#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "jobs/dispatcher.h"
#include "jobs/jobs.h"
#include "jobs/receive_file.h"
#include "jobs/transfer_context.h"
#include "jobs/worker_starter.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/recording_sinks.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {

#if defined(_WIN32)
inline constexpr bool kOnWindows = true;
#else
inline constexpr bool kOnWindows = false;
#endif

// What stood at a receive's path before it, and whether a receive left a partial file.
inline const std::vector<uint8_t> kEarlierBackup{'e', 'a', 'r', 'l', 'i', 'e', 'r'};
inline bool PartialLeftFor(const std::string& path) {
    return std::filesystem::exists(PathFromUtf8(ReceiveFile::PartialPathFor(path)));
}

// A bound and connected transfer context over a fake printer, on the fake clock. Only one
// rig may exist at a time (it holds the one FakeDriver).
struct JobRig {
    // With `file` written at the context's path unless it is empty.
    TransferContext& Prepare(int32_t modelIndex, int32_t direction,
                             const std::vector<uint8_t>& file = {}) {
        context = std::make_unique<TransferContext>(driver, clock);
        context->modelIndex = modelIndex;
        context->direction = direction;
        context->filePath = dir.File("backup.vid");
        if (!file.empty()) {
            WriteBytes(context->filePath, file);
        }
        context->progressBar = &progress;
        context->outcomeSink = &outcomes;
        EXPECT_EQ(context->deviceLink.Bind(static_cast<uint32_t>(modelIndex)), 1);
        EXPECT_EQ(context->deviceLink.Connect(), 1);
        return *context;
    }

    // Runs the job the dispatcher chooses for the prepared model and direction on this
    // thread; a send only once the dispatcher has accepted its file.
    void RunJob() {
        JobChoice choice;
        ASSERT_TRUE(ChooseJob(*context, choice));
        choice.job(*context);
    }

    Outcome OnlyOutcome() {
        const std::vector<Outcome> all = outcomes.All();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? Outcome{} : all.front();
    }

    // The frames written to the printer, read requests included.
    const std::vector<std::vector<uint8_t>>& Frames() const { return driver.writes; }

    FakeDriver driver;
    FakePrinter printer{driver};
    FakeClock clock{1000};
    TempDir dir;
    RecordingProgress progress;
    RecordingOutcomes outcomes;
    std::unique_ptr<TransferContext> context;
};

class JobTest : public ::testing::Test, public JobRig {};

// Starts a job inline on the calling thread, on a thread of its own that lingers after the
// job as a worker still returning from its outcome call does, or not at all.
class TestStarter final : public WorkerStarter {
  public:
    enum Mode { kInline, kLingering, kRefusing };
    explicit TestStarter(Mode mode) : mode_(mode) {}
    std::optional<std::thread> Start(std::function<void()> body) override {
        if (++starts; mode_ == kRefusing) {
            return std::nullopt;
        }
        if (mode_ == kInline) {
            body();
            return std::thread();
        }
        return std::thread([this, body] {
            body();
            for (int i = 0; i < 20000 && !deviceEnded; ++i) {
                std::this_thread::yield();
            }
            done = true;
        });
    }
    int starts = 0;
    std::atomic<bool> deviceEnded{false}, done{false};

  private:
    Mode mode_;
};

}  // namespace velloran::testing
