// The platform layer on the real system: what each access mode of the exclusive file does
// to a file, that a held file opens nowhere else and is never replaced by a move, that UTF-8
// names and device names reach the file system as they should; the order of the durable
// replace's steps.
#include "platform/exclusive_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_name_rules.h"
#include "platform/file_replace.h"
#include "tests/support/replace_log.h"
#include "tests/support/temp_dir.h"

#if defined(_WIN32)
#include "platform/wide_path_win32.h"
#else
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

// Writes `bytes` into a new file at `path` and keeps it open, as a receive does.
std::unique_ptr<ExclusiveFile> NewOpenFile(const std::string& path,
                                           const std::vector<uint8_t>& bytes) {
    auto file = std::make_unique<ExclusiveFile>(path, FileAccess::kWriteNew);
    EXPECT_EQ(file->Write(bytes.data(), static_cast<uint32_t>(bytes.size())),
              static_cast<int64_t>(bytes.size()));
    return file;
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
        {
            ExclusiveFile holder(path, held);
            ASSERT_TRUE(holder.IsOpen());
            EXPECT_FALSE(ExclusiveFile(path, second).IsOpen());
            EXPECT_FALSE(MoveFileReplacing(*NewOpenFile(from, kNew), path));
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

// The bytes reach the disk, through the handle that wrote them, before the move; the
// folder entry after it. Success once all three steps succeeded, a drive that answers
// "no flush offered" included; any other flush error fails, the earlier file kept when
// the file flush failed.
TEST(FileReplace, FlushesTheFileThenMovesThenFlushesTheFolder) {
    // EIO and ENOSPC stand for any other error on Windows too (there 5 and 28 are
    // ERROR_ACCESS_DENIED and ERROR_OUT_OF_PAPER).
#if defined(_WIN32)
    const int kNoFlush[] = {1};  // ERROR_INVALID_FUNCTION
#else
    const int kNoFlush[] = {EINVAL, ENOTSUP, EOPNOTSUPP};
#endif
    struct Case {  // the step that fails ("" none) and how; what the target holds after
        const char* failing;
        int error;
        size_t stepsTaken;
        const std::vector<uint8_t>& target;
        bool replaced;
    };
    std::vector<Case> cases = {{"", 0, 3, kNew, true},
                               {"flush", EIO, 1, kOld, false},
                               {"flush", ENOSPC, 1, kOld, false},
                               {"move", 1, 2, kOld, false},
                               {"folder", EIO, 3, kNew, false}};
    for (const int error : kNoFlush) {
        cases.push_back({"flush", error, 3, kNew, true});
        cases.push_back({"folder", error, 3, kNew, true});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.failing << " " << c.error);
        TempDir dir;
        const std::string from = dir.File("new.part");
        const std::string to = dir.File("b.vid");
        WriteBytes(to, kOld);
        std::vector<std::string> log;
        EXPECT_EQ(MoveFileReplacing(*NewOpenFile(from, kNew), to,
                                    LoggedReplaceSteps(log, c.failing, c.error)),
                  c.replaced);
        EXPECT_EQ(ReadBytes(to), c.target);
        std::vector<std::string> all{"flush " + from, "move " + from + " " + to,
                                     "folder " + Utf8FromPath(dir.Path())};
        all.resize(c.stepsTaken);
        EXPECT_EQ(log, all);
    }
}

// Windows writes a ':' past the drive into an NTFS stream of another file and drops a
// name's trailing dots and spaces; elsewhere such names are stored as typed and allowed.
TEST(FileNameRules, RefuseWhatWindowsWouldStoreOtherwiseThanTyped) {
    constexpr auto kNone = FileNameProblem::kNone;
    constexpr auto kColon = FileNameProblem::kStreamColon;
    constexpr auto kEnd = FileNameProblem::kTrailingDotOrSpace;
    const std::pair<const char*, FileNameProblem> cases[] = {
        {"C:\\Users\\ラベル 機.vid", kNone}, {"C:b.vid", kNone},     {"\\\\?\\D:\\x\\b.vid", kNone},
        {"..\\up\\.\\b.v.vid", kNone},       {"b.vid:s", kColon},    {"C:\\x\\a:b.vid", kColon},
        {"\\\\srv\\sh\\a:b.vid", kColon},    {"b.vid.", kEnd},       {"b.vid ", kEnd},
        {"C:\\folder. \\b.vid", kEnd},       {"/tmp/b.vid...", kEnd}};
    for (const auto& [path, problem] : cases) {
        EXPECT_EQ(WindowsFileNameProblem(path), problem) << path;
    }
#if defined(_WIN32)
    EXPECT_EQ(FileNameProblemHere("at 10:30.vid"), kColon);
#else
    EXPECT_EQ(FileNameProblemHere("at 10:30.vid."), kNone);
#endif
}

#if defined(_WIN32)
// The long-path prefix follows the full path: a short relative name in a deep folder gets
// it, and the file opens there; a short full path stays as typed.
TEST(WidePath, PrefixFollowsTheFullPathNotTheTypedOne) {
    TempDir dir;
    const std::filesystem::path deep = dir.Path() / std::string(150, 'd');
    std::filesystem::create_directory(deep);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(deep);
    const std::string name = std::string(120, 'n') + ".vid";
    const std::wstring wide = WidePath(name);
    const bool opened = ExclusiveFile(name, FileAccess::kWriteNew).IsOpen();
    std::filesystem::current_path(previous);
    EXPECT_EQ(wide, L"\\\\?\\" + (deep / name).wstring());
    EXPECT_TRUE(opened && std::filesystem::exists(deep / name));
    EXPECT_EQ(WidePath("b.vid"), L"b.vid");
}

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
        EXPECT_EQ(whileHeld([&] { return MoveFileReplacing(*NewOpenFile(partial, kNew), path); }),
                  c.waitedOut);
        EXPECT_EQ(ReadBytes(path), c.waitedOut ? kNew : kOld);
    }
}
#endif

}  // namespace
}  // namespace velloran::testing
