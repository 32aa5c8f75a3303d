#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/backup_layout.h"
#include "catalogue/little_endian.h"
#include "jobs/jobs.h"
#include "jobs/receive_file.h"
#include "jobs/receive_sink.h"
#include "jobs/string_table.h"
#include "platform/exclusive_file.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kEarlierBackup{'e', 'a', 'r', 'l', 'i', 'e', 'r'};

bool IsReadRequest(const std::vector<uint8_t>& f) {
    return f.size() == 1;
}

class ReceiveJob : public JobTest {
  protected:
    // Receives with the chosen block size; a file stood at the path before.
    void Receive(int32_t model, bool wide) {
        Prepare(model, kDirectionReceive);
        if (!wide) {
            context->osVersion = kNarrowReadsPlatform;
        }
        WriteBytes(context->filePath, kEarlierBackup);
        if (model == kQ30) {
            MultiRegionReceiveJob(*context);
        } else {
            SingleRegionReceiveJob(*context);
        }
    }

    std::vector<uint8_t> Received() const { return ReadBytes(context->filePath); }
    bool PartialLeft() const {
        return std::filesystem::exists(ReceiveFile::PartialPathFor(context->filePath));
    }
};

struct CompleteCase {
    const char* name;
    int32_t model;
    bool wide;
    uint32_t steps;
    size_t reads;
};

class CompleteReceive : public ReceiveJob, public ::testing::WithParamInterface<CompleteCase> {};

TEST_P(CompleteReceive, WritesTheWholeImageAndFillsItsSteps) {
    const CompleteCase& c = GetParam();
    Receive(c.model, c.wide);
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    EXPECT_EQ(progress.Steps(), c.steps);
    size_t reads = 0;
    for (const auto& f : Frames()) {
        reads += IsReadRequest(f) ? 1 : 0;
    }
    EXPECT_EQ(reads, c.reads);
    EXPECT_FALSE(PartialLeft());

    const std::vector<uint8_t> file = Received();
    ASSERT_GE(file.size(), 16u);
    const uint8_t seriesByte[3] = {0x06, 0x08, 0x03};  // byte 1 of each model's signature
    EXPECT_EQ(file[1], seriesByte[c.model]);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 6, file.begin() + 8),
              (std::vector<uint8_t>{0, 0}));
    std::vector<MemoryRegion> regions(std::begin(kQ30Regions), std::end(kQ30Regions));
    if (c.model != kQ30) {
        regions = {{0x10008000, 0x28000}};
    }
    uint32_t offset = 8;
    for (const MemoryRegion& region : regions) {
        EXPECT_EQ(GetLe32(&file[offset]), region.address);
        EXPECT_EQ(GetLe32(&file[offset + 4]), region.length);
        offset += 8;
        for (uint32_t i = 0; i < region.length; ++i) {
            ASSERT_EQ(file[offset + i], FakePrinter::SeedByte(region.address + i)) << i;
        }
        offset += region.length;
    }
    EXPECT_EQ(file.size(), c.model == kQ30 ? 186432u : 163856u);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, CompleteReceive,
                         ::testing::Values(CompleteCase{"Q20Wide", kQ20, true, 20482, 2560},
                                           CompleteCase{"Q10AlwaysNarrow", kQ10, true, 20482,
                                                        20480},
                                           CompleteCase{"Q30Wide", kQ30, true, 2920, 2912},
                                           CompleteCase{"Q30Narrow", kQ30, false, 2913, 23296}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    int32_t model;
    bool wide;
    // The frame number to refuse, and what it is, checked against the frame itself.
    uint32_t frame;
    Outcome outcome;
    uint32_t framesSent;
};

class ReceiveFailure : public ReceiveJob, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReceiveFailure, KeepsTheEarlierBackupAndLeavesNoPartialFile) {
    const FailureCase& c = GetParam();
    printer.refuse = [&](uint32_t n, const std::vector<uint8_t>&) { return n == c.frame; };
    Receive(c.model, c.wide);
    EXPECT_EQ(OnlyOutcome(), c.outcome);
    EXPECT_EQ(Frames().size(), c.framesSent);
    EXPECT_EQ(Received(), kEarlierBackup);
    EXPECT_FALSE(PartialLeft());
}

// Frame numbers: 1 open, 2 the first address, then read requests; a multi-region
// receive with 64-byte blocks addresses region N+1 after 320, 160, 1024, 1024, 128,
// 128 blocks.
INSTANTIATE_TEST_SUITE_P(
    Points, ReceiveFailure,
    ::testing::Values(FailureCase{"OpenRefused", kQ20, true, 1,
                                  Outcome::Failed(IDS_RECEIVE_FAILED, 0), 1},
                      FailureCase{"AddressRefused", kQ20, true, 2,
                                  Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0xEC), 2},
                      FailureCase{"WideBlockMissing", kQ20, true, 100,
                                  Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x21), 100},
                      FailureCase{"Q30RegionFiveBlockMissing", kQ30, true,
                                  2 + 320 + 1 + 160 + 1 + 1024 + 1 + 1024 + 1 + 10,
                                  Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x21),
                                  2 + 320 + 1 + 160 + 1 + 1024 + 1 + 1024 + 1 + 10},
                      FailureCase{"Q30NarrowBlockMissing", kQ30, false, 50,
                                  Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x20), 50}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiveJob, FileThatCannotBeWrittenEndsWithInterruptedAndNoDetail) {
    Prepare(kQ20, kDirectionReceive);
    context->filePath = dir.File("missing-folder/backup.vid");
    SingleRegionReceiveJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
    EXPECT_EQ(Frames().size(), 1u);  // the header write failed before the address
}

TEST_F(ReceiveJob, WriteFailureInTheMiddleRemovesThePartialFile) {
    std::unique_ptr<ExclusiveFile> holder;
    printer.beforeReply = [&](uint32_t n) {
        if (n == 50) {  // another program takes the partial file
            holder = std::make_unique<ExclusiveFile>(ReceiveFile::PartialPathFor(context->filePath),
                                                     FileAccess::kWriteCreateOrAppend);
        }
    };
    Receive(kQ30, true);
    holder.reset();
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
    EXPECT_EQ(Frames().size(), 50u);
    EXPECT_EQ(Received(), kEarlierBackup);
#if !defined(_WIN32)
    // Windows deletes no file that another program holds open, so there it stays.
    EXPECT_FALSE(PartialLeft());
#endif
}

}  // namespace
}  // namespace velloran::testing

namespace velloran {
namespace {

using namespace testing;

class ReceiveIntoMemory : public JobTest, public ::testing::WithParamInterface<int32_t> {};

// A receive into memory gathers the backup a file receive would write and touches no file.
TEST_P(ReceiveIntoMemory, GathersTheBackupAndWritesNoFile) {
    const int32_t model = GetParam();
    MemoryReceiveSink sink;
    Prepare(model, kDirectionReceive);
    context->receiveSink = &sink;
    const std::vector<uint8_t> earlier{1, 2, 3};
    WriteBytes(context->filePath, earlier);
    (model == kQ30 ? MultiRegionReceiveJob : SingleRegionReceiveJob)(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    EXPECT_EQ(ReadBytes(context->filePath), earlier);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    ASSERT_EQ(sink.Bytes().size(), model == kQ30 ? 186432u : 163856u);
    EXPECT_EQ(sink.Bytes()[16], FakePrinter::SeedByte(model == kQ30 ? 0x10E60000 : 0x10008000));
}

INSTANTIATE_TEST_SUITE_P(Models, ReceiveIntoMemory, ::testing::Values(kQ30, kQ20));

}  // namespace
}  // namespace velloran
