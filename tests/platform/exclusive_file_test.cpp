// The exclusive file on the real file system: what each access mode does to a file, that
// a held file opens nowhere else and is never replaced by a move, and that UTF-8 names,
// long paths and device names reach the file system as they should.
#include "platform/exclusive_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', '!'};
constexpr FileAccess kRead = FileAccess::ReadExisting;
constexpr FileAccess kEmpty = FileAccess::WriteCreateOrEmpty;
constexpr FileAccess kAppend = FileAccess::WriteCreateOrAppend;
#if defined(_WIN32)
constexpr const char* kDeviceName = "NUL";
#else
constexpr const char* kDeviceName = "/dev/null";
#endif

// Writes kNew behind the file's current end.
void AppendNew(ExclusiveFile& file) {
    ASSERT_TRUE(file.SeekToEnd());
    ASSERT_EQ(file.Write(kNew.data(), static_cast<uint32_t>(kNew.size())), 4);
}

struct WriteCase {
    const char* name;
    FileAccess access;
    bool existed;
    std::vector<uint8_t> after;
};

class WriteModes : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteModes, CreateEmptyOrKeepTheFile) {
    TempDir dir;
    const std::string path = dir.File("f.vid");
    if (GetParam().existed) {
        WriteBytes(path, kOld);
    }
    {
        ExclusiveFile file(path, GetParam().access);
        ASSERT_TRUE(file.IsOpen());
        AppendNew(file);
    }
    EXPECT_EQ(ReadBytes(path), GetParam().after);
}

std::vector<uint8_t> OldThenNew() {
    std::vector<uint8_t> bytes = kOld;
    bytes.insert(bytes.end(), kNew.begin(), kNew.end());
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Table, WriteModes,
                         ::testing::Values(WriteCase{"EmptyOnExisting", kEmpty, true, kNew},
                                           WriteCase{"AppendOnMissing", kAppend, false, kNew},
                                           WriteCase{"AppendOnExisting", kAppend, true,
                                                     OldThenNew()}),
                         [](const auto& info) { return std::string(info.param.name); });

struct HoldCase {
    const char* name;
    FileAccess held;
    FileAccess second;
};

class HeldFile : public ::testing::TestWithParam<HoldCase> {};

TEST_P(HeldFile, OpensNowhereElseAndIsNotEmptied) {
    TempDir dir;
    const std::string path = dir.File("held.vid");
    WriteBytes(path, kOld);
    {
        ExclusiveFile holder(path, GetParam().held);
        ASSERT_TRUE(holder.IsOpen());
        EXPECT_FALSE(ExclusiveFile(path, GetParam().second).IsOpen());
    }
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_TRUE(ExclusiveFile(path, GetParam().second).IsOpen()) << "once the holder closed";
}

INSTANTIATE_TEST_SUITE_P(Table, HeldFile,
                         ::testing::Values(HoldCase{"WriterBlocksReader", kAppend, kRead},
                                           HoldCase{"WriterBlocksEmptying", kAppend, kEmpty},
                                           HoldCase{"ReaderBlocksWriter", kRead, kAppend}),
                         [](const auto& info) { return std::string(info.param.name); });

class MoveOntoHeldFile : public ::testing::TestWithParam<FileAccess> {};

TEST_P(MoveOntoHeldFile, FailsAndTouchesNeitherFile) {
    TempDir dir;
    const std::string from = dir.File("from.partial");
    const std::string to = dir.File("to.vid");
    WriteBytes(from, kNew);
    WriteBytes(to, kOld);
    {
        ExclusiveFile holder(to, GetParam());
        ASSERT_TRUE(holder.IsOpen());
        EXPECT_FALSE(MoveFileReplacing(from, to));
    }
    EXPECT_EQ(ReadBytes(to), kOld);
    EXPECT_EQ(ReadBytes(from), kNew);
}

INSTANTIATE_TEST_SUITE_P(HeldFor, MoveOntoHeldFile, ::testing::Values(kRead, kAppend));

TEST(FileNames, Utf8NameReachesTheFileSystemIntact) {
    TempDir dir;
    const std::string name = "ラベル印刷機 バックアップ.vid";
    const std::string path = dir.File(name);
    {
        ExclusiveFile file(path, kEmpty);
        ASSERT_TRUE(file.IsOpen());
        AppendNew(file);
    }
    const std::filesystem::directory_iterator entries(dir.Path());
    ASSERT_NE(entries, std::filesystem::directory_iterator());
    EXPECT_EQ(entries->path().filename(), PathFromUtf8(name));
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(DeleteFileAt(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(DeleteFileAt(path));
}

// A folder and a name that each fit, but together exceed the classic 260-character limit.
TEST(FileNames, PathLongerThanTheClassicLimitWorks) {
    TempDir dir;
    const std::string folder = dir.File(std::string(200, 'f'));
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder)));
    const std::string path = folder + "/" + std::string(100, 'n') + ".vid";
    const std::string moved = folder + "/" + std::string(100, 'm') + ".vid";
    {
        ExclusiveFile file(path, kEmpty);
        ASSERT_TRUE(file.IsOpen());
        AppendNew(file);
    }
    ASSERT_TRUE(MoveFileReplacing(path, moved));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(ExclusiveFile(moved, kRead).Size(), kNew.size());
    EXPECT_TRUE(DeleteFileAt(moved));
}

TEST(FileNames, ADeviceIsNotABackupFile) {
    for (const FileAccess access : {kRead, kEmpty, kAppend}) {
        EXPECT_FALSE(ExclusiveFile(kDeviceName, access).IsOpen());
    }
}

}  // namespace
}  // namespace velloran::testing
