// The receive and send jobs against a fake printer, and the comparison of backups.
#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <sstream>

#include "catalogue/little_endian.h"
#include "jobs/backup_compare.h"
#include "jobs/receive_file.h"
#include "jobs/receive_sink.h"
#include "jobs/string_table.h"
#include "platform/exclusive_file.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// A receive of `model`, into `sink` when set, with 64-byte blocks where the model takes them
// (`wide`) or 8-byte ones; a file stood at the path before.
void Receive(JobRig& r, int32_t model, bool wide, ReceiveSink* sink = nullptr) {
    r.Prepare(model, kDirectionReceive, kEarlierBackup).receiveSink = sink;
    if (!wide) {
        r.context->osVersion = {true, 2, 4};
    }
    r.RunJob();
}

// The first 16 bytes of each model's backup: header, then the first record head.
const Bytes kQ30Head{0x01, 0x06, 0x01, 0x01, 0, 0, 0, 0, 0x00, 0x00, 0xE6, 0x10, 0x00, 0x50, 0, 0};
const Bytes kQ20Head{0x00, 0x08, 0x09, 0x01, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x10, 0x00, 0x80, 2, 0};
const Bytes kQ10Head{0x00, 0x03, 0x09, 0x01, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x10, 0x00, 0x80, 2, 0};

// The whole image lands in the file (or, into memory, in the sink with the earlier file
// untouched): the header, each record head, the printer's bytes. The partial file opens
// once, however many blocks come.
TEST(ReceiveJob, WritesTheWholeImageAndFillsItsSteps) {
    const struct {  // opens: the target checked twice, the partial file opened once
        int32_t model;
        bool wide, memory;
        uint32_t steps, reads;
        const Bytes& head;
        uint64_t opens;
    } cases[] = {
        {kQ20, true, false, 20482, 2560, kQ20Head, 3},
        {kQ10, true, false, 20482, 20480, kQ10Head, 3},
        {kQ30, true, false, 2920, 2912, kQ30Head, 3},
        {kQ30, false, false, 2913, 23296, kQ30Head, 3},
        {kQ30, true, true, 2920, 2912, kQ30Head, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << c.wide << c.memory);
        JobRig r;
        MemoryReceiveSink sink;
        const uint64_t opensBefore = ExclusiveFileOpenCount();
        Receive(r, c.model, c.wide, c.memory ? &sink : nullptr);
        EXPECT_EQ(r.OnlyOutcome(), Outcome::Succeeded());
        EXPECT_EQ(ExclusiveFileOpenCount() - opensBefore, c.opens);
        EXPECT_EQ(r.progress.Steps(), c.steps);
        EXPECT_EQ(std::count_if(r.Frames().begin(), r.Frames().end(),
                                [](const auto& f) { return f.size() == 1; }),
                  static_cast<std::ptrdiff_t>(c.reads));
        EXPECT_FALSE(PartialLeftFor(r.context->filePath));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(r.dir.Path()), {}), 1);
        EXPECT_EQ(ReadBytes(r.context->filePath) == kEarlierBackup, c.memory);
        const Bytes file = c.memory ? sink.Bytes() : ReadBytes(r.context->filePath);
        ASSERT_EQ(file.size(), c.model == kQ30 ? 186432u : 163856u);
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), c.head);
        const MemoryRegion bank[] = {{0x10008000, 0x28000}};
        uint32_t offset = 8;
        for (const MemoryRegion& region :
             c.model == kQ30 ? std::span<const MemoryRegion>(kQ30Regions) : bank) {
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

// A refused frame fails the receive and keeps the earlier backup, with no partial file
// left.
// Frame numbers: 1 open, 2 the first address, then read requests; a multi-region receive
// with 64-byte blocks addresses region N+1 after 320, 160, 1024, 1024, 128, 128 blocks.
TEST(ReceiveJob, FailureKeepsTheEarlierBackupAndLeavesNoPartialFile) {
    const struct {  // frame: the refused frame, and the frames sent
        int32_t model;
        bool wide;
        uint32_t frame;
        Outcome outcome;
    } cases[] = {
        {kQ20, true, 100, Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x21)},
        {kQ30, true, 2 + 320 + 1 + 160 + 1 + 1024 + 1 + 1024 + 1 + 10,
         Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x21)},
        {kQ30, false, 50, Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0x20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        JobRig r;
        r.printer.refuse = [&](uint32_t n, const Bytes&) { return n == c.frame; };
        Receive(r, c.model, c.wide);
        EXPECT_EQ(r.OnlyOutcome(), c.outcome);
        EXPECT_EQ(r.Frames().size(), c.frame);
        EXPECT_EQ(ReadBytes(r.context->filePath), kEarlierBackup);
        EXPECT_FALSE(PartialLeftFor(r.context->filePath));
    }
}

constexpr uint32_t kImage = 0x28000;
const Bytes kFinish = {0x02, 0xEB, 0x07};

// A backup of `fromModel`: an LM-Q30 file with its seven records, or one record.
Bytes Backup(int32_t fromModel, uint32_t address = 0x10008000, uint32_t length = kImage) {
    return fromModel == kQ30 ? MultiRegionFile(10)
                             : SingleRegionFile(HeaderOf(fromModel), address, length, length, 5);
}

struct Piece {
    uint32_t address, fileOffset, length;
};
const std::vector<Piece> kQ30Plan = {{0x10E60000, 0x10, 0x5000},    {0x10EA0000, 0x5018, 0x2800},
                                     {0x10EE0000, 0x7820, 0x10000}, {0x10F20000, 0x17828, 0x10000},
                                     {0x10F60000, 0x27830, 0x2000}, {0x10F80000, 0x29838, 0x2000},
                                     {0x10FA0000, 0x2B840, 0x2000}};
const std::vector<Piece> kOlderFilePlan = {{0x10F60000, 0x2014, 0x2000},
                                           {0x10EE0000, 0x8014, 0x10000}};

// What reaches the printer region by region (none: the one record at file offset 16);
// the first region's SetupFrame and the AddressFrame before its data, to the byte; byte 5
// of the OpenFrame, the chosen model's signature.
struct SendCase {
    const char* name;
    int32_t model, fromModel;
    uint32_t recordAddress, recordLength;
    size_t frames;
    const std::vector<Piece>* pieces;
    const char *setup, *target;
    uint8_t openByte5;
};

const SendCase kSends[] = {
    {"OlderModelsImage", kQ20, kQ10, 0x10008000, kImage, 2740, nullptr,
     "02 eb 09 08 00 00 80 00 10 00 80 02 00", "02 ec 04 00 00 80 00 10", 0x08},
    // The record's own address and length, not the catalogue's 0x10008000 and 0x28000.
    {"Q10RecordElsewhere", kQ10, kQ10, 0x10020010, 61, 11, nullptr,
     "02 eb 09 08 00 10 00 02 10 3d 00 00 00", "02 ec 04 00 10 00 02 10", 0x03},
    {"Q30File", kQ30, kQ30, 0, 0, 3173, &kQ30Plan, "02 eb 09 08 00 00 00 e6 10 00 00 02 00",
     "02 ec 04 00 00 00 e6 10", 0x06},
    {"Q20FileToQ30", kQ30, kQ20, 0x10008000, kImage, 1248, &kOlderFilePlan,
     "02 eb 09 08 00 00 00 f6 10 00 00 02 00", "02 ec 04 00 00 00 f6 10", 0x06},
};

TEST(SendJob, WritesEachRegionWithItsSetupAndAddressFrames) {
    for (const SendCase& c : kSends) {
        SCOPED_TRACE(c.name);
        JobRig r;
        const Bytes file = Backup(c.fromModel, c.recordAddress, c.recordLength);
        r.Prepare(c.model, kDirectionSend, file);
        const uint64_t opensBefore = ExclusiveFileOpenCount();
        r.RunJob();
        EXPECT_EQ(r.OnlyOutcome(), Outcome::Succeeded());
        // The file test's open (an LM-Q30's also a look at the plan's last byte), then the
        // send's one open for all its chunks.
        EXPECT_EQ(ExclusiveFileOpenCount() - opensBefore, c.model == kQ30 ? 3u : 2u);
        ASSERT_EQ(r.Frames().size(), c.frames);
        EXPECT_EQ(r.progress.Steps(), c.frames);
        EXPECT_EQ(r.Frames()[3], Hex(c.setup));
        EXPECT_EQ(r.Frames()[6], Hex(c.target));
        size_t first = 0;  // the open frame of the region
        size_t written = 0;
        const std::vector<Piece> single = {{c.recordAddress, 16, c.recordLength}};
        for (const Piece& piece : c.pieces != nullptr ? *c.pieces : single) {
            // Each region's setup (address, value) and target frames as the first one's.
            const uint32_t value = c.model == kQ30 ? 0x20000 : piece.length;
            EXPECT_EQ(r.Frames()[first][5], c.openByte5);
            EXPECT_EQ(GetLe32(&r.Frames()[first + 3][5]), piece.address);
            EXPECT_EQ(GetLe32(&r.Frames()[first + 3][9]), value);
            EXPECT_EQ(GetLe32(&r.Frames()[first + 6][4]), piece.address);
            const size_t chunks = (piece.length + 59) / 60;
            EXPECT_EQ(r.Frames()[first + 6 + chunks].size(), 4 + (piece.length - 1) % 60 + 1);
            EXPECT_EQ(r.Frames()[first + 8 + chunks], kFinish);
            for (uint32_t i = 0; i < piece.length; ++i) {
                const auto it = r.printer.Written().find(piece.address + i);
                ASSERT_TRUE(it != r.printer.Written().end() &&
                            it->second == file[piece.fileOffset + i])
                    << std::hex << piece.address + i;
            }
            first += 9 + chunks;
            written += piece.length;
        }
        EXPECT_EQ(r.printer.Written().size(), written);
    }
}

// A refused frame ends the send with its outcome and detail; nothing is sent after it.
TEST(SendJob, RefusedFrameReportsItsDetailAndSendsNothingAfterIt) {
    const struct {
        int32_t model, fromModel;
        uint32_t frame;  // refused frame number
        Outcome outcome;
        uint32_t finishes;    // finish frames written, the refused one included
        bool silent = false;  // from `frame` on the printer answers nothing
    } cases[] = {
        {kQ20, kQ20, 1, Outcome::Failed(117, 0), 0},
        {kQ20, kQ20, 1, Outcome::Failed(117, 0), 0, true},  // after the 10 s deadline only
        {kQ20, kQ20, 2, Outcome::Failed(119, 0xEC), 0},
        {kQ20, kQ20, 3, Outcome::Failed(119, 0xEB), 0},
        {kQ20, kQ20, 4, Outcome::Failed(119, 0x900EB), 0},
        {kQ20, kQ20, 6, Outcome::Failed(119, 0x500EB), 0},
        {kQ20, kQ20, 7, Outcome::Failed(119, 0x100EC), 0},
        {kQ20, kQ20, 8, Outcome::Failed(119, 0xED), 0},
        {kQ20, kQ20, 2739, Outcome::Failed(119, 0xEC), 0},
        {kQ20, kQ20, 2740, Outcome::Failed(119, 0x700EB), 1},
        {kQ30, kQ30, 1, Outcome::Failed(117, 0), 0},
        {kQ30, kQ30, 352, Outcome::Failed(117, 0), 1},  // the second region's open
        {kQ30, kQ30, 351 + 180 + 20, Outcome::Failed(119, 0xED), 2},
        {kQ30, kQ20, 146 + 4, Outcome::Failed(119, 0x900EB), 1},
        {kQ30, kQ10, 1248, Outcome::Failed(119, 0x700EB), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        JobRig r;
        r.Prepare(c.model, kDirectionSend, Backup(c.fromModel));
        r.printer.refuse = [&](uint32_t n, const Bytes&) { return n == c.frame; };
        r.printer.silentFrom = c.silent ? c.frame : 0;
        r.RunJob();
        EXPECT_EQ(r.clock.TickMs() == 1000u + 10000u, c.silent);
        EXPECT_EQ(r.OnlyOutcome(), c.outcome);
        EXPECT_EQ(r.Frames().size(), c.frame);
        EXPECT_EQ(r.progress.Steps(), c.frame - 1);
        EXPECT_EQ(std::count(r.Frames().begin(), r.Frames().end(), kFinish), c.finishes);
    }
}

// The file is removed or shortened under a running send, which holds it open from its
// first frame: no byte that did not come from the file may reach the printer. A removed
// file is still read whole through the open handle (Windows refuses the removal); a
// shortened one ends the send at the first short chunk (Windows refuses to shorten it).
// A file another program took before the job opened it is refused with nothing sent.
TEST(SendJob, FileChangedUnderTheSendNeverPutsForeignBytesIntoThePrinter) {
    const struct {
        char change;  // remove, shorten, take
        Outcome outcome;
        size_t frames, written;
    } cases[] = {{'r', Outcome::Succeeded(), 19, 600},
                 {'s', kOnWindows ? Outcome::Succeeded() : Outcome::Failed(119, 0),
                  kOnWindows ? 19u : 8u, kOnWindows ? 600u : 60u},
                 {'t', Outcome::Failed(117, 0), 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        JobRig r;
        const Bytes file = Backup(kQ20, 0x10008000, 600);
        r.Prepare(kQ20, kDirectionSend, file);
        std::error_code ignored;
        r.printer.beforeReply = [&](uint32_t n) {
            if (n == 7 && c.change == 'r') {
                std::filesystem::remove(r.context->filePath, ignored);
            } else if (n == 7 && c.change == 's') {
                std::filesystem::resize_file(r.context->filePath, 16 + 100, ignored);
            }
        };
        ASSERT_EQ(r.context->ValidateSingleRegionFile(), 1);
        const ExclusiveFile holder(c.change == 't' ? r.context->filePath : r.dir.File("o.vid"),
                                   FileAccess::kWriteCreateOrAppend);
        SingleRegionSendJob(*r.context);
        EXPECT_EQ(r.OnlyOutcome(), c.outcome);
        EXPECT_EQ(r.Frames().size(), c.frames);
        EXPECT_EQ(r.printer.Written().size(), c.written);
        for (const auto& [address, value] : r.printer.Written()) {
            EXPECT_EQ(value, file[16 + address - 0x10008000u]);
        }
    }
}

// A source layout outside 0-2 has no region plan: the send ends before its first frame.
TEST_F(JobTest, SourceLayoutWithoutAPlanEndsWithInterruptedAndSendsNothing) {
    Prepare(kQ30, kDirectionSend, Backup(kQ30)).sourceLayout = 3;
    MultiRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(119, 0));
    EXPECT_TRUE(Frames().empty());
}

// Each range as "address+length expected>actual", "!" when the held side lacks it.
std::string RangesText(const ImageComparison& comparison) {
    std::ostringstream out;
    for (const DifferingRange& r : comparison.ranges) {
        out << std::hex << r.address << "+" << r.length << (r.missing ? "!" : "") << " ";
        for (const auto* side : {&r.expected, &r.actual}) {
            for (const uint8_t b : *side) {
                out << int{b} << ".";
            }
            out << (side == &r.expected ? ">" : ";");
        }
    }
    return out.str();
}

// The written side is always 16 bytes 0..15 placed at 0x1000 from offset 0; a range keeps
// at most eight bytes of either side.
TEST(CompareImages, FindsEveryDifferingRange) {
    const Bytes source{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::vector<ImageSegment> whole{{0x1000, 16, 0}};
    // The held side starts two bytes in, at another offset, in two pieces.
    const std::vector<ImageSegment> pieces{{0x1008, 8, 8}, {0x1002, 6, 2}};
    const struct {
        const char* target;
        const std::vector<ImageSegment>& held;
        const char* ranges;
    } cases[] = {
        {"00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f", whole, ""},
        {"00 01 aa 03 04 05 06 07 08 09 0a 0b 0c bb cc 0f", whole,
         "1002+1 2.>aa.;100d+2 d.e.>bb.cc.;"},
        {"09 09 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f", pieces, "1000+2! 0.1.>;"},
        {"ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff ff", whole,
         "1000+10 0.1.2.3.4.5.6.7.>ff.ff.ff.ff.ff.ff.ff.ff.;"},
        // A held segment that runs past the end of its bytes holds only what is there.
        {"00 01 02 03 04 05 06 07 08 09", whole, "100a+6! a.b.c.d.e.f.>;"},
    };
    for (const auto& c : cases) {
        const ImageComparison result = CompareImages(source, whole, Hex(c.target), c.held);
        EXPECT_EQ(RangesText(result), c.ranges);
        EXPECT_EQ(result.comparedBytes, 16u);
    }
}

// Across layouts only the two regions a send into an LM-Q30 writes count, whichever
// file comes first; the bytes of a range stay with their own file.
TEST(DiffBackups, OlderModelAgainstNewerByTheRegionPlan) {
    TempDir dir;
    Bytes single = SingleRegionFile(HeaderOf(kQ10), 0x10008000, 0x28000, 0x28000, 3);
    Bytes multi = MultiRegionFile(0);  // the regions a send of `single` writes, copied in
    std::copy_n(single.begin() + 0x2014, 0x2000, multi.begin() + 0x27830);  // 0x10F60000
    std::copy_n(single.begin() + 0x8014, 0x10000, multi.begin() + 0x7820);  // 0x10EE0000
    single[100] ^= 0xFF;  // outside the plan: not compared
    const std::string older = dir.File("q10.vid"), newer = dir.File("q30.vid");
    WriteBytes(older, single);
    WriteBytes(newer, multi);
    EXPECT_TRUE(DiffBackups(older, newer).comparison.Identical());
    single[0x8014 + 5] ^= 0xFF;
    WriteBytes(older, single);
    for (const bool olderFirst : {true, false}) {
        const BackupDiff diff = olderFirst ? DiffBackups(older, newer) : DiffBackups(newer, older);
        ASSERT_EQ(diff.comparison.ranges.size(), 1u);
        const DifferingRange& range = diff.comparison.ranges[0];
        EXPECT_EQ(range.address, 0x10EE0005u);
        EXPECT_EQ((olderFirst ? range.expected : range.actual)[0], single[0x8014 + 5]);
        EXPECT_EQ((olderFirst ? range.actual : range.expected)[0], single[0x8014 + 5] ^ 0xFF);
        EXPECT_EQ(diff.comparison.comparedBytes, 0x12000u);
    }
}

}  // namespace
}  // namespace velloran::testing
