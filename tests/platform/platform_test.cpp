// The platform layer on the real system: what each access mode of the exclusive file does
// to a file, that a held file opens nowhere else and is never replaced by a move, that UTF-8
// names and device names reach the file system as they should; the order of the durable
// replace's steps.
#include "platform/exclusive_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_replace.h"
#include "tests/support/replace_log.h"
#include "tests/support/temp_dir.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', '!'};
constexpr FileAccess kRead = FileAccess::kReadExisting;
constexpr FileAccess kEmpty = FileAccess::kWriteCreateOrEmpty;
constexpr FileAccess kAppend = FileAccess::kWriteCreateOrAppend;

// Each write mode creates, empties or keeps the file it opens, under a UTF-8 name that
// reaches the file system intact.
TEST(ExclusiveFile, WriteModesCreateEmptyOrKeepTheFile) {
    const struct {
        FileAccess access;
        bool existed;
        std::vector<uint8_t> after;
    } cases[] = {{kEmpty, true, kNew},
                 {kAppend, false, kNew},
                 {kAppend, true, {'o', 'l', 'd', 'n', 'e', 'w', '!'}}};
    for (const auto& c : cases) {
        TempDir dir;
        const std::string name = "ラベル印刷機 バックアップ.vid";
        const std::string path = dir.File(name);
        if (c.existed) {
            WriteBytes(path, kOld);
        }
        {
            ExclusiveFile file(path, c.access);
            ASSERT_TRUE(file.IsOpen() && file.SeekToEnd());
            ASSERT_EQ(file.Write(kNew.data(), 4), 4);
        }
        EXPECT_EQ(ReadBytes(path), c.after);
        EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path().filename(),
                  PathFromUtf8(name));
        EXPECT_EQ((std::vector<bool>{FileExists(path), DeleteFileAt(path), FileExists(path),
                                     DeleteFileAt(path)}),
                  (std::vector<bool>{true, true, false, false}));
    }
}

// A held file opens nowhere else, is not emptied and is not replaced by a move; once the
// holder closed it opens again.
TEST(ExclusiveFile, HeldFileOpensNowhereElseAndIsNotReplaced) {
    const std::pair<FileAccess, FileAccess> cases[] = {
        {kAppend, kRead}, {kAppend, kEmpty}, {kRead, kAppend}};
    for (const auto& [held, second] : cases) {
        TempDir dir;
        const std::string path = dir.File("held.vid");
        const std::string from = dir.File("from.partial");
        WriteBytes(path, kOld);
        WriteBytes(from, kNew);
        {
            ExclusiveFile holder(path, held);
            ASSERT_TRUE(holder.IsOpen());
            EXPECT_FALSE(ExclusiveFile(path, second).IsOpen());
            EXPECT_FALSE(MoveFileReplacing(from, path));
        }
        EXPECT_EQ(ReadBytes(path), kOld);
        EXPECT_EQ(ReadBytes(from), kNew);
        EXPECT_TRUE(ExclusiveFile(path, second).IsOpen()) << "once the holder closed";
    }
}

// Devices, pipes and folders are no backup files, and opening one never waits
// (a named pipe without a writer would block an ordinary open forever).
TEST(ExclusiveFile, SpecialPathIsNotABackupFileAndOpensWithoutWaiting) {
    TempDir dir;
    std::vector<std::string> paths{dir.File("folder")};
    std::filesystem::create_directory(paths[0]);
#if defined(_WIN32)
    paths.insert(paths.end(), {"NUL", "CON"});
#else
    paths.insert(paths.end(), {"/dev/null", "/dev/zero", dir.File("fifo")});
    ASSERT_EQ(mkfifo(paths[3].c_str(), 0644), 0);
#endif
    for (const FileAccess access :
         {kRead, kEmpty, kAppend, FileAccess::kWriteNew, FileAccess::kWriteExisting}) {
        for (const std::string& path : paths) {
            EXPECT_FALSE(ExclusiveFile(path, access).IsOpen()) << path;
        }
    }
}

// The bytes reach the disk before the move, the folder entry after it; success only once
// all three steps succeeded.
TEST(FileReplace, FlushesTheFileThenMovesThenFlushesTheFolder) {
    const struct {
        const char* failing;  // the step that fails, "" none
        size_t stepsTaken;
        const std::vector<uint8_t>& target;  // what the target holds afterwards
    } cases[] = {{"", 3, kNew}, {"flush", 1, kOld}, {"move", 2, kOld}, {"folder", 3, kNew}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        TempDir dir;
        const std::string from = dir.File("new.part");
        const std::string to = dir.File("b.vid");
        WriteBytes(from, kNew);
        WriteBytes(to, kOld);
        std::vector<std::string> log;
        const bool fail = true;
        EXPECT_EQ(MoveFileReplacing(from, to, LoggedReplaceSteps(log, c.failing, fail)),
                  std::string(c.failing).empty());
        EXPECT_EQ(ReadBytes(to), c.target);
        std::vector<std::string> all{"flush " + from, "move " + from + " " + to,
                                     "folder " + Utf8FromPath(dir.Path())};
        all.resize(c.stepsTaken);
        EXPECT_EQ(log, all);
    }
}

#if defined(_WIN32)
// A clock on which another program's hold of a file ends once `holdMs` have passed.
struct ReleasingClock final : Clock {
    uint32_t TickMs() override { return now; }
    void SleepMs(uint32_t milliseconds) override {
        if ((now += milliseconds) >= holdMs) {
            holder.reset();
        }
    }
    uint32_t now = 0, holdMs = 0;
    std::unique_ptr<ExclusiveFile> holder;
};

// Sync clients and virus scanners hold files for a moment: an open and the final move of
// a receive wait out half a second, but not five.
TEST(ExclusiveFile, BriefHoldIsWaitedOutForAboutTwoSeconds) {
    const struct {
        uint32_t holdMs;
        bool waitedOut;
    } cases[] = {{500, true}, {5000, false}};
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.File("held.vid");
        const std::string partial = dir.File("new.part");
        WriteBytes(path, kOld);
        const auto whileHeld = [&](const auto& action) {
            ReleasingClock clock;
            clock.holdMs = c.holdMs;
            clock.holder = std::make_unique<ExclusiveFile>(path, kAppend);
            Clock& previous = SetFileRetryClock(clock);
            const bool done = action();
            SetFileRetryClock(previous);
            return done;
        };
        EXPECT_EQ(whileHeld([&] { return ExclusiveFile(path, kRead).IsOpen(); }), c.waitedOut);
        WriteBytes(partial, kNew);
        EXPECT_EQ(whileHeld([&] { return MoveFileReplacing(partial, path); }), c.waitedOut);
        EXPECT_EQ(ReadBytes(path), c.waitedOut ? kNew : kOld);
    }
}
#endif

}  // namespace
}  // namespace velloran::testing
