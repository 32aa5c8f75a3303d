// Runs a whole transfer job against a printer whose replies the fuzz input bends: split,
// padded, dropped, failed or replaced. Whatever the printer does, the job must deliver
// exactly one outcome, and a failed receive must leave the earlier file as it was.
#include <cstdlib>
#include <filesystem>

#include "catalogue/backup_layout.h"
#include "fuzz/fuzz_input.h"
#include "jobs/jobs.h"
#include "jobs/receive_file.h"
#include "jobs/transfer_context.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_driver.h"
#include "tests/support/fake_printer.h"
#include "tests/support/recording_sinks.h"
#include "tests/support/temp_dir.h"

using namespace velloran;
using velloran::fuzzing::FuzzInput;

namespace {

const std::vector<uint8_t> kEarlier{'o', 'l', 'd'};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const testing::TempDir& Folder() {
    static const testing::TempDir dir;
    return dir;
}

// Bends the reply the printer just queued, as one byte of the input says.
void Bend(FuzzInput& input, std::deque<testing::ScriptedRead>& reads) {
    if (input.Empty() || reads.empty()) {
        return;
    }
    testing::ScriptedRead& last = reads.back();
    switch (input.Byte() % 8) {
        case 1:
            if (last.bytes.size() > 1) {
                const size_t cut = 1 + input.Byte() % (last.bytes.size() - 1);
                testing::ScriptedRead tail{0, {last.bytes.begin() + cut, last.bytes.end()}, -1};
                last.bytes.resize(cut);
                reads.push_back(tail);
            }
            break;
        case 2:
            reads.insert(reads.end() - 1, testing::ScriptedRead{0, {0x00}, -1});
            break;
        case 3:
            reads.insert(reads.end() - 1, testing::ScriptedRead{1, {}, 0});
            break;
        case 4:
            reads.insert(reads.end() - 1, testing::ScriptedRead{1, {}, input.Byte()});
            break;
        case 5:
            reads.pop_back();
            break;
        case 6:
            last.bytes = input.Bytes(input.Byte() % 80);
            break;
        default:
            break;
    }
}

std::vector<uint8_t> SendableFile(uint8_t kind) {
    if (kind == 0) {
        std::vector<uint8_t> file = testing::HeaderOf(0);
        file.resize(kMultiRegionFileLength, 0x3C);
        return file;
    }
    const int32_t model = kind == 1 ? 1 : 2;
    return testing::SingleRegionFile(testing::HeaderOf(model), 0x10008000, 0x28000, 0x28000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint8_t job = input.Byte() % 4;
    const uint8_t fileKind = input.Byte() % 3;
    testing::FakeDriver driver;
    testing::FakePrinter printer(driver);
    const auto answer = driver.onWrite;
    driver.onWrite = [&](const std::vector<uint8_t>& frame) {
        answer(frame);
        Bend(input, driver.reads);
    };
    testing::FakeClock clock;
    testing::RecordingProgress progress;
    testing::RecordingOutcomes outcomes;
    TransferContext context(driver, clock);
    context.modelIndex = (job == 0 || job == 2) ? 0 : 1;
    context.filePath = Folder().File("job.vid");
    context.progressBar = &progress;
    context.outcomeSink = &outcomes;
    Check(context.deviceLink.Bind(static_cast<uint32_t>(context.modelIndex)) == 1);
    Check(context.deviceLink.Connect() == 1);

    const bool receive = job < 2;
    testing::WriteBytes(context.filePath, receive ? kEarlier : SendableFile(fileKind));
    if (job == 0) {
        MultiRegionReceiveJob(context);
    } else if (job == 1) {
        SingleRegionReceiveJob(context);
    } else if (job == 2) {
        Check(context.ClassifyMultiRegionFile() == 1);
        MultiRegionSendJob(context);
    } else {
        context.modelIndex = 1;
        context.filePath = Folder().File("job.vid");
        testing::WriteBytes(context.filePath, SendableFile(1));
        Check(context.ValidateSingleRegionFile() == 1);
        SingleRegionSendJob(context);
    }

    const std::vector<Outcome> all = outcomes.All();
    Check(all.size() == 1);
    Check(!std::filesystem::exists(ReceiveFile::PartialPathFor(context.filePath)));
    if (receive && !all[0].success) {
        Check(testing::ReadBytes(context.filePath) == kEarlier);
    }
    if (receive && all[0].success) {
        Check(testing::ReadBytes(context.filePath).size() ==
              (job == 0 ? kMultiRegionFileLength : 0x28010u));
    }
    return 0;
}
