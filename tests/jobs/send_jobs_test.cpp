#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/backup_layout.h"
#include "catalogue/little_endian.h"
#include "jobs/jobs.h"
#include "jobs/string_table.h"
#include "platform/exclusive_file.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

constexpr uint32_t kImage = 0x28000;

bool IsSetup(const std::vector<uint8_t>& f) {
    return f.size() == 13 && f[2] == 0x09;
}
bool IsData(const std::vector<uint8_t>& f) {
    return f.size() > 4 && f[1] == 0xED;
}
bool IsOpen(const std::vector<uint8_t>& f) {
    return f.size() == 16;
}

std::vector<uint8_t> DataOf(const std::vector<uint8_t>& frame) {
    return {frame.begin() + 4, frame.end()};
}

class SingleRegionSend : public JobTest {
  protected:
    std::vector<uint8_t> WriteBackup(int32_t fromModel, uint32_t length) {
        const std::vector<uint8_t> file =
            SingleRegionFile(HeaderOf(fromModel), 0x10008000, length, length, 3);
        WriteBytes(context->filePath, file);
        EXPECT_EQ(context->ValidateSingleRegionFile(), 1);
        return file;
    }
};

TEST_F(SingleRegionSend, WritesAnOlderModelsBackupWithTheChosenModelsSignature) {
    Prepare(kQ20, kDirectionSend);
    const std::vector<uint8_t> file = WriteBackup(kQ10, kImage);
    SingleRegionSendJob(*context);

    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    ASSERT_EQ(Frames().size(), 2740u);
    EXPECT_EQ(progress.Steps(), 2740u);
    EXPECT_EQ(Frames()[0][5], 0x08);  // LM-Q20's signature, not the file's LM-Q10
    const std::vector<uint8_t>& lastData = Frames()[2737];
    ASSERT_TRUE(IsData(lastData));
    EXPECT_EQ(lastData.size(), 44u);
    EXPECT_EQ(DataOf(lastData), std::vector<uint8_t>(file.begin() + 163816, file.end()));
    ASSERT_EQ(printer.Written().size(), kImage);
    for (uint32_t i = 0; i < kImage; i += 997) {
        EXPECT_EQ(printer.Written().at(0x10008000 + i), file[16 + i]) << i;
    }
}

// A record whose address and length differ from the catalogue's: the setup frame carries
// the record's address and length, the address frame before the data the record's address.
TEST_F(SingleRegionSend, TakesAddressAndLengthFromTheFilesRecord) {
    Prepare(kQ20, kDirectionSend);
    WriteBytes(context->filePath, SingleRegionFile(HeaderOf(kQ20), 0x10010000, 100, 100, 4));
    ASSERT_EQ(context->ValidateSingleRegionFile(), 1);
    SingleRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    ASSERT_EQ(Frames().size(), 11u);
    EXPECT_EQ(Frames()[3], (std::vector<uint8_t>{0x02, 0xEB, 0x09, 0x08, 0x00, 0x00, 0x00, 0x01,
                                                 0x10, 0x64, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Frames()[6], (std::vector<uint8_t>{0x02, 0xEC, 0x04, 0x00, 0x00, 0x00, 0x01, 0x10}));
    EXPECT_EQ(Frames()[8].size(), 4u + 40u);
    EXPECT_EQ(printer.Written().begin()->first, 0x10010000u);
    EXPECT_EQ(printer.Written().size(), 100u);
}

struct RefusalCase {
    uint32_t frame;
    uint32_t outcomeId;
    FailureDetail detail;
};

class SingleRegionSendRefusal : public SingleRegionSend,
                                public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SingleRegionSendRefusal, ReportsTheFrameAndSendsNothingAfterIt) {
    const RefusalCase& c = GetParam();
    Prepare(kQ20, kDirectionSend);
    WriteBackup(kQ20, kImage);
    printer.refuse = [&](uint32_t n, const std::vector<uint8_t>&) { return n == c.frame; };
    SingleRegionSendJob(*context);

    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(c.outcomeId, c.detail));
    EXPECT_EQ(Frames().size(), c.frame);
    EXPECT_EQ(progress.Steps(), c.frame - 1);
}

INSTANTIATE_TEST_SUITE_P(EachFrame, SingleRegionSendRefusal,
                         ::testing::Values(RefusalCase{1, IDS_SEND_FAILED, 0},
                                           RefusalCase{2, IDS_SEND_INTERRUPTED, 0xEC},
                                           RefusalCase{3, IDS_SEND_INTERRUPTED, 0xEB},
                                           RefusalCase{4, IDS_SEND_INTERRUPTED, 0x900EB},
                                           RefusalCase{5, IDS_SEND_INTERRUPTED, 0xEC},
                                           RefusalCase{6, IDS_SEND_INTERRUPTED, 0x500EB},
                                           RefusalCase{7, IDS_SEND_INTERRUPTED, 0x100EC},
                                           RefusalCase{8, IDS_SEND_INTERRUPTED, 0xED},
                                           RefusalCase{2738, IDS_SEND_INTERRUPTED, 0xED},
                                           RefusalCase{2739, IDS_SEND_INTERRUPTED, 0xEC},
                                           RefusalCase{2740, IDS_SEND_INTERRUPTED, 0x700EB}));

TEST_F(SingleRegionSend, SilentPrinterFailsTheOpenAfterTheDeadlineOnly) {
    Prepare(kQ20, kDirectionSend);
    WriteBackup(kQ20, 60);
    printer.silentFrom = 1;
    const uint32_t start = clock.TickMs();
    SingleRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_SEND_FAILED, 0));
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(progress.Steps(), 0u);
    EXPECT_EQ(clock.TickMs() - start, 10000u);
}

// The file changes under a running send: no byte that did not come from the file may
// reach the printer.
struct FileChangeCase {
    const char* name;
    bool removeFile;
    uint32_t keptDataBytes;
    uint32_t framesSent;
};

class SingleRegionSendFileChange : public SingleRegionSend,
                                   public ::testing::WithParamInterface<FileChangeCase> {};

TEST_P(SingleRegionSendFileChange, EndsWithInterruptedAndNoDetail) {
    const FileChangeCase& c = GetParam();
    Prepare(kQ20, kDirectionSend);
    const std::vector<uint8_t> file = WriteBackup(kQ20, 600);
    printer.beforeReply = [&](uint32_t n) {
        if (n != 7) {
            return;
        }
        if (c.removeFile) {
            std::filesystem::remove(context->filePath);
        } else {
            std::filesystem::resize_file(context->filePath, 16 + c.keptDataBytes);
        }
    };
    SingleRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_SEND_INTERRUPTED, 0));
    EXPECT_EQ(Frames().size(), c.framesSent);
    for (const auto& [address, value] : printer.Written()) {
        ASSERT_LT(address - 0x10008000u, c.keptDataBytes);
        EXPECT_EQ(value, file[16 + address - 0x10008000u]);
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, SingleRegionSendFileChange,
                         ::testing::Values(FileChangeCase{"Removed", true, 0, 7},
                                           FileChangeCase{"ShrunkMidChunk", false, 100, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

class MultiRegionSend : public JobTest {
  protected:
    std::vector<uint8_t> WriteBackup(int32_t fromModel) {
        std::vector<uint8_t> file;
        if (fromModel == kQ30) {
            file = HeaderOf(kQ30);
            for (uint32_t i = 0; i < 7u; ++i) {
                AppendLe32(file, kQ30Regions[i].address);
                AppendLe32(file, kQ30Regions[i].length);
                for (uint32_t b = 0; b < kQ30Regions[i].length; ++b) {
                    file.push_back(PatternByte(b, i + 10));
                }
            }
        } else {
            file = SingleRegionFile(HeaderOf(fromModel), 0x10008000, kImage, kImage, 5);
        }
        WriteBytes(context->filePath, file);
        EXPECT_EQ(context->ClassifyMultiRegionFile(), 1);
        return file;
    }

    std::vector<std::vector<uint8_t>> Setups() const {
        std::vector<std::vector<uint8_t>> setups;
        for (const auto& f : Frames()) {
            if (IsSetup(f)) {
                setups.push_back(f);
            }
        }
        return setups;
    }
};

TEST_F(MultiRegionSend, WritesTheSevenRegionsOfAnLmQ30Backup) {
    Prepare(kQ30, kDirectionSend);
    const std::vector<uint8_t> file = WriteBackup(kQ30);
    MultiRegionSendJob(*context);

    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    EXPECT_EQ(Frames().size(), 3173u);
    EXPECT_EQ(progress.Steps(), 3173u);
    const std::vector<std::vector<uint8_t>> setups = Setups();
    ASSERT_EQ(setups.size(), 7u);
    const uint32_t lastChunk[] = {20, 40, 16, 16, 32, 32, 32};
    uint32_t regionIndex = 0;
    for (size_t i = 0; i < Frames().size(); ++i) {
        if (!IsOpen(Frames()[i])) {
            continue;
        }
        EXPECT_EQ(GetLe32(&setups[regionIndex][5]), kQ30Regions[regionIndex].address);
        EXPECT_EQ(GetLe32(&setups[regionIndex][9]), 0x20000u);
        const size_t frames = 9 + (kQ30Regions[regionIndex].length + 59) / 60;
        EXPECT_EQ(Frames()[i + frames - 3].size(), 4 + lastChunk[regionIndex]);
        ++regionIndex;
    }
    EXPECT_EQ(regionIndex, 7u);
    // Region 2's first DataFrame carries file bytes 0x5018 to 0x5053.
    EXPECT_EQ(DataOf(Frames()[351 + 7]),
              std::vector<uint8_t>(file.begin() + 0x5018, file.begin() + 0x5054));
    for (uint32_t i = 0; i < 7u; ++i) {
        const uint32_t offset = MultiRegionDataOffset(i);
        EXPECT_EQ(printer.Written().at(kQ30Regions[i].address), file[offset]);
        const uint32_t last = kQ30Regions[i].length - 1;
        EXPECT_EQ(printer.Written().at(kQ30Regions[i].address + last), file[offset + last]);
    }
    EXPECT_EQ(printer.Written().size(), 186368u);
}

class MultiRegionSendFromOlderModel : public MultiRegionSend,
                                      public ::testing::WithParamInterface<int32_t> {};

TEST_P(MultiRegionSendFromOlderModel, WritesTwoPiecesOfTheImage) {
    Prepare(kQ30, kDirectionSend);
    const std::vector<uint8_t> file = WriteBackup(GetParam());
    MultiRegionSendJob(*context);

    EXPECT_EQ(OnlyOutcome(), Outcome::Succeeded());
    EXPECT_EQ(Frames().size(), 1248u);
    EXPECT_EQ(progress.Steps(), 1248u);
    const auto setups = Setups();
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(GetLe32(&setups[0][5]), 0x10F60000u);
    EXPECT_EQ(GetLe32(&setups[1][5]), 0x10EE0000u);
    EXPECT_EQ(Frames()[0][4], 0x01);  // LM-Q30's signature opens every region
    EXPECT_EQ(Frames()[146][4], 0x01);
    for (uint32_t i = 0; i < 0x2000; i += 61) {
        EXPECT_EQ(printer.Written().at(0x10F60000 + i), file[0x2014 + i]);
    }
    for (uint32_t i = 0; i < 0x10000; i += 61) {
        EXPECT_EQ(printer.Written().at(0x10EE0000 + i), file[0x8014 + i]);
    }
    EXPECT_EQ(printer.Written().size(), 0x12000u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, MultiRegionSendFromOlderModel, ::testing::Values(kQ20, kQ10));

struct MultiRefusalCase {
    const char* name;
    int32_t fromModel;
    uint32_t frame;  // refused frame number
    Outcome outcome;
    uint32_t finishFramesSent;  // ControlFrames 0x07 written, the refused one included
};

class MultiRegionSendRefusal : public MultiRegionSend,
                               public ::testing::WithParamInterface<MultiRefusalCase> {};

TEST_P(MultiRegionSendRefusal, StopsAtTheFirstFailedRegion) {
    const MultiRefusalCase& c = GetParam();
    Prepare(kQ30, kDirectionSend);
    WriteBackup(c.fromModel);
    printer.refuse = [&](uint32_t n, const std::vector<uint8_t>&) { return n == c.frame; };
    MultiRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), c.outcome);
    EXPECT_EQ(Frames().size(), c.frame);
    uint32_t finishes = 0;
    for (const auto& f : Frames()) {
        finishes += f == std::vector<uint8_t>{0x02, 0xEB, 0x07} ? 1 : 0;
    }
    EXPECT_EQ(finishes, c.finishFramesSent);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, MultiRegionSendRefusal,
    ::testing::Values(
        MultiRefusalCase{"FirstOpen", kQ30, 1, Outcome::Failed(IDS_SEND_FAILED, 0), 0},
        MultiRefusalCase{"SecondRegionOpen", kQ30, 352, Outcome::Failed(IDS_SEND_FAILED, 0), 1},
        MultiRefusalCase{"DataInRegionThree", kQ30, 351 + 180 + 20,
                         Outcome::Failed(IDS_SEND_INTERRUPTED, 0xED), 2},
        MultiRefusalCase{"SetupInSecondRegionOfLayout1", kQ20, 146 + 4,
                         Outcome::Failed(IDS_SEND_INTERRUPTED, 0x900EB), 1},
        MultiRefusalCase{"LastFinishOfLayout2", kQ10, 1248,
                         Outcome::Failed(IDS_SEND_INTERRUPTED, 0x700EB), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MultiRegionSend, UnknownSourceLayoutSendsNothing) {
    Prepare(kQ30, kDirectionSend);
    context->sourceLayout = 3;
    MultiRegionSendJob(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_SEND_INTERRUPTED, 0));
    EXPECT_TRUE(Frames().empty());
}

}  // namespace
}  // namespace velloran::testing
