// Printer memory outliving the device, the library and the process: state files,
// where they live, and the seed pattern of memory never written.

#include <fstream>

#include "sim_test_support.h"

namespace velloran::sim::test {
namespace {

constexpr size_t kQ30MemorySize = 0x5000 + 0x2800 + 2 * 0x10000 + 3 * 0x2000;

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PersistenceTest : public SimTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PersistenceTest, WrittenDataComesBackInALaterSession) {
    Bytes data = Pattern(kSmallLength, 9);
    Open();
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, data);
    ASSERT_EQ(SendAll(frames), frames.size());
    Close(/*unload=*/GetParam());
    Open();
    EXPECT_EQ(ReadRegion(kSigQ30, kSmallStart, kSmallLength, kRead64), data);
}

INSTANTIATE_TEST_SUITE_P(Table, PersistenceTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Reloaded" : "Restarted"; });

using StateFileTest = SimTest;

TEST_F(StateFileTest, WrittenAtCommitWithTheWholeMemory) {
    Open();
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, Pattern(600, 1));
    std::vector<Bytes> uncommitted(frames.begin(), frames.end() - 1);
    ASSERT_EQ(SendAll(uncommitted), uncommitted.size());
    EXPECT_FALSE(std::filesystem::exists(StatePath("lmq30.mem"))) << "before the commit";
    ASSERT_EQ(Send(frames.back()), kAck);
    EXPECT_EQ(FileBytes(StatePath("lmq30.mem")).size(), kQ30MemorySize);
}

TEST_F(StateFileTest, HalfWrittenRegionStaysHalfWritten) {
    Bytes data = Pattern(300, 5);
    Open();
    Bytes seed = ReadRegion(kSigQ30, kSmallStart, 512, kRead64);
    auto frames = WriteSequence(kSigQ30, kSmallStart, kWideSetup, data);
    frames.resize(frames.size() - 2);
    ASSERT_EQ(SendAll(frames), frames.size());
    Close();
    Open();
    Bytes expected = data;
    expected.insert(expected.end(), seed.begin() + 300, seed.end());
    EXPECT_EQ(ReadRegion(kSigQ30, kSmallStart, 512, kRead64), expected);
}

TEST_F(StateFileTest, ReadingAloneWritesNoFile) {
    Open();
    ReadRegion(kSigQ20, kBankStart, 64, kRead64);
    Close();
    EXPECT_FALSE(std::filesystem::exists(StatePath("lmq20.mem")));
}

TEST_F(StateFileTest, WrongSizedFileIsIgnored) {
    Open();
    Bytes seed = ReadRegion(kSigQ20, kBankStart, 256, kRead64);
    Close();
    std::filesystem::create_directories(StatePath(""));
    std::ofstream(StatePath("lmq20.mem"), std::ios::binary) << std::string(kBankLength - 1, 'x');
    Open();
    EXPECT_EQ(ReadRegion(kSigQ20, kBankStart, 256, kRead64), seed);
}

using SeedTest = SimTest;

TEST_F(SeedTest, SameInEveryFreshStateFolderAndDifferentPerModel) {
    Open();
    Bytes first = ReadRegion(kSigQ20, kBankStart, 512, kRead64);
    Close(true);
    SetEnv("VELLORAN_SIM_STATE_DIR", (TempRoot() / "other").string());
    Open();
    EXPECT_EQ(ReadRegion(kSigQ20, kBankStart, 512, kRead8), first);
    Close(true);
    Open(kHdv201);
    Bytes otherModel = ReadRegion(kSigQ10, kBankStart, 512, kRead64);
    EXPECT_NE(otherModel, first);
    EXPECT_NE(std::count(first.begin(), first.end(), first[0]), 512) << "not a constant fill";
}

struct FolderCase {
    const char* name;
    const char* variable;  // the only one of the four set, to <temp>/v
    const char* subpath;   // where the state file then lives, below <temp>/v
};

class StateFolderTest : public SimTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(StateFolderTest, FollowsTheFirstVariableSet) {
    for (const char* name : {"VELLORAN_SIM_STATE_DIR", "XDG_STATE_HOME", "LOCALAPPDATA", "HOME"}) {
        UnsetEnv(name);
    }
    std::filesystem::path base = TempRoot() / "v";
    SetEnv(GetParam().variable, base.string());
    Open();
    auto frames = WriteSequence(kSigQ20, kBankStart, kBankLength, Pattern(60, 0));
    ASSERT_EQ(SendAll(frames), frames.size());
    EXPECT_EQ(FileBytes((base / GetParam().subpath / "lmq20.mem").string()).size(), kBankLength);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StateFolderTest,
    ::testing::Values(FolderCase{"StateDir", "VELLORAN_SIM_STATE_DIR", "."},
                      FolderCase{"XdgStateHome", "XDG_STATE_HOME", "velloran-sim"},
                      FolderCase{"LocalAppData", "LOCALAPPDATA", "velloran-sim"},
                      FolderCase{"Home", "HOME", ".local/state/velloran-sim"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran::sim::test
