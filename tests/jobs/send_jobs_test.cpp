#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/little_endian.h"
#include "jobs/jobs.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kImage = 0x28000;
const std::vector<uint8_t> kFinish = {0x02, 0xEB, 0x07};

// The bytes of the file at `offset` reached the printer at `address`, all `length` of them.
void ExpectWritten(const FakePrinter& printer, const std::vector<uint8_t>& file, uint32_t address,
                   uint32_t offset, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
        const auto it = printer.Written().find(address + i);
        ASSERT_TRUE(it != printer.Written().end() && it->second == file[offset + i])
            << std::hex << address + i;
    }
}

// A backup of `fromModel`: an LM-Q30 file with its seven records, or an image file.
std::vector<uint8_t> Backup(int32_t fromModel, uint32_t address = 0x10008000,
                            uint32_t length = kImage) {
    if (fromModel != kQ30) {
        return SingleRegionFile(HeaderOf(fromModel), address, length, length, 5);
    }
    std::vector<uint8_t> file = HeaderOf(kQ30);
    for (uint32_t i = 0; i < 7; ++i) {
        AppendLe32(file, kQ30Regions[i].address);
        AppendLe32(file, kQ30Regions[i].length);
        for (uint32_t b = 0; b < kQ30Regions[i].length; ++b) {
            file.push_back(PatternByte(b, i + 10));
        }
    }
    return file;
}

struct Piece {
    uint32_t address;
    uint32_t fileOffset;
    uint32_t length;
};

struct SendCase {
    const char* name;
    int32_t model;
    int32_t fromModel;
    uint32_t recordAddress;
    uint32_t recordLength;
    size_t frames;
    std::vector<Piece> pieces;  // what reaches the printer, region by region
    uint8_t openByte5;          // the chosen model's signature, not the file's
};

class SendJob : public JobTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendJob, WritesEachRegionWithItsSetupAndAddressFrames) {
    const SendCase& c = GetParam();
    Prepare(c.model, kDirectionSend);
    const std::vector<uint8_t> file = Backup(c.fromModel, c.recordAddress, c.recordLength);
    WriteBytes(context->filePath, file);
    if (c.model == kQ30) {
        ASSERT_EQ(context->ClassifyMultiRegionFile(), 1);
        MultiRegionSendJob(*context);
    } else {
        ASSERT_EQ(context->ValidateSingleRegionFile(), 1);
        SingleRegionSendJob(*context);
    }
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    ASSERT_EQ(Frames().size(), c.frames);
    EXPECT_EQ(progress.Steps(), c.frames);
    size_t first = 0;  // the open frame of the piece
    size_t written = 0;
    for (const Piece& piece : c.pieces) {
        const uint32_t value = c.model == kQ30 ? 0x20000 : piece.length;
        std::vector<uint8_t> setup = {0x02, 0xEB, 0x09, 0x08, 0x00};
        std::vector<uint8_t> target = {0x02, 0xEC, 0x04, 0x00};
        for (const uint32_t v : {piece.address, value}) {
            for (int shift = 0; shift < 32; shift += 8) {
                setup.push_back(static_cast<uint8_t>(v >> shift));
            }
        }
        target.insert(target.end(), setup.begin() + 5, setup.begin() + 9);
        EXPECT_EQ(Frames()[first][5], c.openByte5);
        EXPECT_EQ(Frames()[first + 3], setup);
        EXPECT_EQ(Frames()[first + 6], target);
        const size_t chunks = (piece.length + 59) / 60;
        EXPECT_EQ(Frames()[first + 6 + chunks].size(), 4 + (piece.length - 1) % 60 + 1);
        EXPECT_EQ(Frames()[first + 8 + chunks], kFinish);
        ExpectWritten(printer, file, piece.address, piece.fileOffset, piece.length);
        first += 9 + chunks;
        written += piece.length;
    }
    EXPECT_EQ(printer.Written().size(), written);
}

INSTANTIATE_TEST_SUITE_P(
    Sends, SendJob,
    ::testing::Values(
        SendCase{"OlderModelsImage",
                 kQ20,
                 kQ10,
                 0x10008000,
                 kImage,
                 2740,
                 {{0x10008000, 16, kImage}},
                 0x08},
        // The record's own address and length, not the catalogue's.
        SendCase{"RecordElsewhere", kQ20, kQ20, 0x10010000, 100, 11, {{0x10010000, 16, 100}}, 0x08},
        SendCase{"Q30File",
                 kQ30,
                 kQ30,
                 0,
                 0,
                 3173,
                 {{0x10E60000, 0x10, 0x5000},
                  {0x10EA0000, 0x5018, 0x2800},
                  {0x10EE0000, 0x7820, 0x10000},
                  {0x10F20000, 0x17828, 0x10000},
                  {0x10F60000, 0x27830, 0x2000},
                  {0x10F80000, 0x29838, 0x2000},
                  {0x10FA0000, 0x2B840, 0x2000}},
                 0x06},
        SendCase{"Q20FileToQ30",
                 kQ30,
                 kQ20,
                 0x10008000,
                 kImage,
                 1248,
                 {{0x10F60000, 0x2014, 0x2000}, {0x10EE0000, 0x8014, 0x10000}},
                 0x06},
        SendCase{"Q10FileToQ30",
                 kQ30,
                 kQ10,
                 0x10008000,
                 kImage,
                 1248,
                 {{0x10F60000, 0x2014, 0x2000}, {0x10EE0000, 0x8014, 0x10000}},
                 0x06}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    int32_t model;
    int32_t fromModel;
    uint32_t frame;  // refused frame number
    Outcome outcome;
    uint32_t finishes;  // finish frames written, the refused one included
};

class SendRefusal : public JobTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SendRefusal, ReportsTheFrameAndSendsNothingAfterIt) {
    const RefusalCase& c = GetParam();
    Prepare(c.model, kDirectionSend);
    WriteBytes(context->filePath, Backup(c.fromModel));
    printer.refuse = [&](uint32_t n, const std::vector<uint8_t>&) { return n == c.frame; };
    if (c.model == kQ30) {
        ASSERT_EQ(context->ClassifyMultiRegionFile(), 1);
        MultiRegionSendJob(*context);
    } else {
        ASSERT_EQ(context->ValidateSingleRegionFile(), 1);
        SingleRegionSendJob(*context);
    }
    EXPECT_EQ(OnlyOutcome(), c.outcome);
    EXPECT_EQ(Frames().size(), c.frame);
    EXPECT_EQ(progress.Steps(), c.frame - 1);
    EXPECT_EQ(std::count(Frames().begin(), Frames().end(), kFinish), c.finishes);
}

INSTANTIATE_TEST_SUITE_P(
    EachFrame, SendRefusal,
    ::testing::Values(
        RefusalCase{"Open", kQ20, kQ20, 1, Outcome::Failed(117, 0), 0},
        RefusalCase{"ControlAddress", kQ20, kQ20, 2, Outcome::Failed(119, 0xEC), 0},
        RefusalCase{"Begin", kQ20, kQ20, 3, Outcome::Failed(119, 0xEB), 0},
        RefusalCase{"Setup", kQ20, kQ20, 4, Outcome::Failed(119, 0x900EB), 0},
        RefusalCase{"SecondControlAddress", kQ20, kQ20, 5, Outcome::Failed(119, 0xEC), 0},
        RefusalCase{"Prepare", kQ20, kQ20, 6, Outcome::Failed(119, 0x500EB), 0},
        RefusalCase{"Target", kQ20, kQ20, 7, Outcome::Failed(119, 0x100EC), 0},
        RefusalCase{"FirstData", kQ20, kQ20, 8, Outcome::Failed(119, 0xED), 0},
        RefusalCase{"LastData", kQ20, kQ20, 2738, Outcome::Failed(119, 0xED), 0},
        RefusalCase{"LastAddress", kQ20, kQ20, 2739, Outcome::Failed(119, 0xEC), 0},
        RefusalCase{"Finish", kQ20, kQ20, 2740, Outcome::Failed(119, 0x700EB), 1},
        RefusalCase{"Q30FirstOpen", kQ30, kQ30, 1, Outcome::Failed(117, 0), 0},
        RefusalCase{"Q30SecondRegionOpen", kQ30, kQ30, 352, Outcome::Failed(117, 0), 1},
        RefusalCase{"Q30DataInRegionThree", kQ30, kQ30, 351 + 180 + 20, Outcome::Failed(119, 0xED),
                    2},
        RefusalCase{"SetupInSecondPieceOfAQ20File", kQ30, kQ20, 146 + 4,
                    Outcome::Failed(119, 0x900EB), 1},
        RefusalCase{"LastFinishOfAQ10File", kQ30, kQ10, 1248, Outcome::Failed(119, 0x700EB), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobTest, SilentPrinterFailsTheOpenAfterTheDeadlineOnly) {
    Prepare(kQ20, kDirectionSend);
    WriteBytes(context->filePath, Backup(kQ20, 0x10008000, 60));
    ASSERT_EQ(context->ValidateSingleRegionFile(), 1);
    printer.silentFrom = 1;
    const uint32_t start = clock.TickMs();
    SingleRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(117, 0));
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(clock.TickMs() - start, 10000u);
}

TEST_F(JobTest, UnknownSourceLayoutSendsNothing) {
    Prepare(kQ30, kDirectionSend);
    context->sourceLayout = 3;
    MultiRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(119, 0));
    EXPECT_TRUE(Frames().empty());
}

// The file changes under a running send: no byte that did not come from the file may
// reach the printer.
class SendFileChange : public JobTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SendFileChange, EndsWithInterruptedAndNoDetail) {
    const bool removed = GetParam();
    Prepare(kQ20, kDirectionSend);
    const std::vector<uint8_t> file = Backup(kQ20, 0x10008000, 600);
    WriteBytes(context->filePath, file);
    ASSERT_EQ(context->ValidateSingleRegionFile(), 1);
    printer.beforeReply = [&](uint32_t n) {
        if (n == 7 && removed) {
            std::filesystem::remove(context->filePath);
        } else if (n == 7) {
            std::filesystem::resize_file(context->filePath, 16 + 100);
        }
    };
    SingleRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(119, 0));
    EXPECT_EQ(Frames().size(), removed ? 7u : 8u);
    for (const auto& [address, value] : printer.Written()) {
        ASSERT_LT(address - 0x10008000u, removed ? 0u : 100u);
        EXPECT_EQ(value, file[16 + address - 0x10008000u]);
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, SendFileChange, ::testing::Bool());

}  // namespace
}  // namespace velloran::testing
