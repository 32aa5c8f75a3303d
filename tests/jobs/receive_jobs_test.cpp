#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/little_endian.h"
#include "jobs/receive_file.h"
#include "jobs/receive_sink.h"
#include "jobs/string_table.h"
#include "platform/exclusive_file.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kEarlierBackup{'e', 'a', 'r', 'l', 'i', 'e', 'r'};

// A receive of `model`, into `sink` when set, with 64-byte blocks where the model takes them
// (`wide`) or 8-byte ones; a file stood at the path before.
void Receive(JobRig& r, int32_t model, bool wide, ReceiveSink* sink = nullptr) {
    r.Prepare(model, kDirectionReceive).receiveSink = sink;
    if (!wide) {
        r.context->osVersion = {true, 2, 4};
    }
    WriteBytes(r.context->filePath, kEarlierBackup);
    r.RunJob();
}

bool PartialLeft(const JobRig& r) {
    return std::filesystem::exists(ReceiveFile::PartialPathFor(r.context->filePath));
}

// The whole image lands in the file (or, into memory, in the sink with the earlier file
// untouched): byte 1 of the model's signature, each record head, the printer's bytes.
TEST(ReceiveJob, WritesTheWholeImageAndFillsItsSteps) {
    const struct {
        int32_t model;
        bool wide, memory;
        uint32_t steps;
        size_t reads;
        uint8_t seriesByte;
    } cases[] = {
        {kQ20, true, false, 20482, 2560, 0x08}, {kQ10, true, false, 20482, 20480, 0x03},
        {kQ30, true, false, 2920, 2912, 0x06},  {kQ30, false, false, 2913, 23296, 0x06},
        {kQ30, true, true, 2920, 2912, 0x06},   {kQ20, true, true, 20482, 2560, 0x08},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << c.wide << c.memory);
        JobRig r;
        MemoryReceiveSink sink;
        Receive(r, c.model, c.wide, c.memory ? &sink : nullptr);
        EXPECT_EQ(r.OnlyOutcome(), Outcome::Succeeded());
        EXPECT_EQ(r.progress.Steps(), c.steps);
        EXPECT_EQ(std::count_if(r.Frames().begin(), r.Frames().end(),
                                [](const auto& f) { return f.size() == 1; }),
                  c.reads);
        EXPECT_FALSE(PartialLeft(r));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(r.dir.Path()), {}), 1);
        if (c.memory) {
            EXPECT_EQ(ReadBytes(r.context->filePath), kEarlierBackup);
        }
        const std::vector<uint8_t> file = c.memory ? sink.Bytes() : ReadBytes(r.context->filePath);
        ASSERT_EQ(file.size(), c.model == kQ30 ? 186432u : 163856u);
        EXPECT_EQ(file[1], c.seriesByte);
        EXPECT_EQ(file[6] | file[7], 0);
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
    }
}

// A refused frame fails the receive and keeps the earlier backup, with no partial file.
// Frame numbers: 1 open, 2 the first address, then read requests; a multi-region receive
// with 64-byte blocks addresses region N+1 after 320, 160, 1024, 1024, 128, 128 blocks.
TEST(ReceiveJob, FailureKeepsTheEarlierBackupAndLeavesNoPartialFile) {
    const struct {
        int32_t model;
        bool wide;
        uint32_t frame;  // the refused frame, and the frames sent
        Outcome outcome;
    } cases[] = {
        {kQ20, true, 1, Outcome::Failed(IDS_RECEIVE_FAILED, 0)},
        {kQ20, true, 2, Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0xEC)},
        {kQ20, true, 100, Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x21)},
        {kQ30, true, 2 + 320 + 1 + 160 + 1 + 1024 + 1 + 1024 + 1 + 10,
         Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x21)},
        {kQ30, false, 50, Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        JobRig r;
        r.printer.refuse = [&](uint32_t n, const std::vector<uint8_t>&) { return n == c.frame; };
        Receive(r, c.model, c.wide);
        EXPECT_EQ(r.OnlyOutcome(), c.outcome);
        EXPECT_EQ(r.Frames().size(), c.frame);
        EXPECT_EQ(ReadBytes(r.context->filePath), kEarlierBackup);
        EXPECT_FALSE(PartialLeft(r));
    }
}

TEST_F(JobTest, ReceiveIntoAMissingFolderEndsAfterTheOpenWithInterruptedAndNoDetail) {
    Prepare(kQ20, kDirectionReceive);
    context->filePath = dir.File("missing-folder/backup.vid");
    RunJob();
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
    EXPECT_EQ(Frames().size(), 1u);  // the header write failed before the address
}

TEST_F(JobTest, ReceiveWriteFailureInTheMiddleRemovesThePartialFile) {
    std::unique_ptr<ExclusiveFile> holder;
    printer.beforeReply = [&](uint32_t n) {
        if (n == 50) {  // another program takes the partial file
            holder = std::make_unique<ExclusiveFile>(ReceiveFile::PartialPathFor(context->filePath),
                                                     FileAccess::kWriteCreateOrAppend);
        }
    };
    Receive(*this, kQ30, true);
    holder.reset();
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
    EXPECT_EQ(Frames().size(), 50u);
    EXPECT_EQ(ReadBytes(context->filePath), kEarlierBackup);
#if !defined(_WIN32)
    // Windows deletes no file that another program holds open, so there it stays.
    EXPECT_FALSE(PartialLeft(*this));
#endif
}

}  // namespace
}  // namespace velloran::testing
