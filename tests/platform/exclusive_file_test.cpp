// The exclusive file on the real file system: what each access mode does to a file, that
// a held file opens nowhere else and is never replaced by a move, and that UTF-8 names,
// long paths and device names reach the file system as they should.
#include "platform/exclusive_file.h"
#include "platform/file_replace.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', '!'};
constexpr FileAccess kRead = FileAccess::kReadExisting;
constexpr FileAccess kEmpty = FileAccess::kWriteCreateOrEmpty;
constexpr FileAccess kAppend = FileAccess::kWriteCreateOrAppend;

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

// Devices, pipes, sockets and folders are no backup files, and opening one never waits
// (a named pipe without a writer would block an ordinary open forever).
class SpecialPath : public ::testing::TestWithParam<FileAccess> {};

TEST_P(SpecialPath, IsNotABackupFileAndOpensWithoutWaiting) {
    TempDir dir;
    std::vector<std::string> paths{dir.File("folder")};
    std::filesystem::create_directory(paths[0]);
#if defined(_WIN32)
    paths.insert(paths.end(), {"NUL", "CON"});
#else
    paths.insert(paths.end(), {"/dev/null", "/dev/zero", dir.File("fifo"), dir.File("socket")});
    ASSERT_EQ(mkfifo(paths[3].c_str(), 0644), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    paths[4].copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
#endif
    for (const std::string& path : paths) {
        EXPECT_FALSE(ExclusiveFile(path, GetParam()).IsOpen()) << path;
    }
}

#if defined(_WIN32)
// A clock on which another program's hold ends once `holdMs` have passed.
class ReleasingClock final : public Clock {
  public:
    ReleasingClock(uint32_t holdMs, std::unique_ptr<ExclusiveFile>& holder)
        : holdMs_(holdMs), holder_(holder) {}
    uint32_t TickMs() override { return now_; }
    void SleepMs(uint32_t milliseconds) override {
        now_ += milliseconds;
        if (now_ >= holdMs_) {
            holder_.reset();
        }
    }

  private:
    uint32_t now_ = 0;
    uint32_t holdMs_;
    std::unique_ptr<ExclusiveFile>& holder_;
};

struct BriefHoldCase {
    const char* name;
    uint32_t holdMs;
    bool waitedOut;
};

class BriefHold : public ::testing::TestWithParam<BriefHoldCase> {};

// Sync clients and virus scanners hold files for a moment: an open and the final move of
// a receive wait out half a second, but not five.
TEST_P(BriefHold, IsWaitedOutForAboutTwoSeconds) {
    TempDir dir;
    const std::string path = dir.File("held.vid");
    const std::string partial = dir.File("new.part");
    WriteBytes(path, kOld);
    const auto whileHeld = [&](const auto& action) {
        std::unique_ptr<ExclusiveFile> holder = std::make_unique<ExclusiveFile>(path, kAppend);
        ReleasingClock clock(GetParam().holdMs, holder);
        Clock& previous = SetFileRetryClock(clock);
        const bool done = action();
        SetFileRetryClock(previous);
        return done;
    };
    EXPECT_EQ(whileHeld([&] { return ExclusiveFile(path, kRead).IsOpen(); }), GetParam().waitedOut);
    WriteBytes(partial, kNew);
    EXPECT_EQ(whileHeld([&] { return MoveFileReplacing(partial, path); }), GetParam().waitedOut);
    EXPECT_EQ(ReadBytes(path), GetParam().waitedOut ? kNew : kOld);
}

INSTANTIATE_TEST_SUITE_P(Table, BriefHold,
                         ::testing::Values(BriefHoldCase{"HalfASecond", 500, true},
                                           BriefHoldCase{"FiveSeconds", 5000, false}),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

INSTANTIATE_TEST_SUITE_P(AnyAccess, SpecialPath,
                         ::testing::Values(kRead, kEmpty, kAppend, FileAccess::kWriteNew,
                                           FileAccess::kWriteExisting));

}  // namespace
}  // namespace velloran::testing
