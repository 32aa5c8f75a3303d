// The durable replace on the real file system: the order of its flushes, what a failing
// step leaves, which targets it refuses at once, and links.
#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "platform/exclusive_file.h"
#include "tests/support/temp_dir.h"

namespace velloran {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const std::vector<uint8_t> kOld{'o', 'l', 'd'};
const std::vector<uint8_t> kNew{'n', 'e', 'w', '!'};

// The system's steps, each logged before it runs; the step named `failing` fails instead.
ReplaceSteps Logged(std::vector<std::string>& log, const std::string& failing = "") {
    const ReplaceSteps& system = SystemReplaceSteps();
    return {[&log, failing, system](const std::string& path) {
                log.push_back("flush " + path);
                return failing != "flush" && system.flushFile(path);
            },
            [&log, failing, system](const std::string& from, const std::string& to) {
                log.push_back("move " + from + " " + to);
                return failing != "move" && system.move(from, to);
            },
            [&log, failing, system](const std::string& folder) {
                log.push_back("folder " + folder);
                return failing != "folder" && system.flushFolder(folder);
            }};
}

TEST(DurableReplace, FlushesTheFileBeforeTheMoveAndTheFolderAfterIt) {
    TempDir dir;
    const std::string from = dir.File("new.part");
    const std::string to = dir.File("b.vid");
    WriteBytes(from, kNew);
    WriteBytes(to, kOld);
    std::vector<std::string> log;
    ASSERT_TRUE(MoveFileReplacing(from, to, Logged(log)));
    const std::string folder = testing::Utf8FromPath(dir.Path());
    EXPECT_EQ(log, (std::vector<std::string>{"flush " + from, "move " + from + " " + to,
                                             "folder " + folder}));
    EXPECT_EQ(ReadBytes(to), kNew);
}

struct FailCase {
    const char* step;
    std::vector<uint8_t> target;  // what the target holds afterwards
};

class FailingStep : public ::testing::TestWithParam<FailCase> {};

TEST_P(FailingStep, IsAFailedReplace) {
    TempDir dir;
    const std::string from = dir.File("new.part");
    const std::string to = dir.File("b.vid");
    WriteBytes(from, kNew);
    WriteBytes(to, kOld);
    std::vector<std::string> log;
    EXPECT_FALSE(MoveFileReplacing(from, to, Logged(log, GetParam().step)));
    EXPECT_EQ(ReadBytes(to), GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(Table, FailingStep,
                         ::testing::Values(FailCase{"flush", kOld}, FailCase{"move", kOld},
                                           FailCase{"folder", kNew}),
                         [](const auto& info) { return std::string(info.param.step); });

// What stands at the target, made in `dir` at `path`.
struct TargetCase {
    const char* name;
    void (*make)(const std::string& path);
    bool replaceable;
};

class Target : public ::testing::TestWithParam<TargetCase> {};

TEST_P(Target, IsJudgedWithoutWaiting) {
    TempDir dir;
    const std::string path = dir.File("t.vid");
    GetParam().make(path);
    EXPECT_EQ(CanReplace(path), GetParam().replaceable);
    // Nor does opening it as a backup wait; what is not a regular file does not open.
    if (std::filesystem::exists(std::filesystem::symlink_status(path)) &&
        !std::filesystem::is_regular_file(path)) {
        for (FileAccess access : {FileAccess::ReadExisting, FileAccess::WriteExisting,
                                  FileAccess::WriteCreateOrAppend, FileAccess::WriteNew}) {
            EXPECT_FALSE(ExclusiveFile(path, access).IsOpen());
        }
    }
}

void Nothing(const std::string&) {}
void Plain(const std::string& path) {
    WriteBytes(path, kOld);
}
void Folder(const std::string& path) {
    std::filesystem::create_directory(path);
}
void ReadOnly(const std::string& path) {
    WriteBytes(path, kOld);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
}
#if !defined(_WIN32)
void Fifo(const std::string& path) {
    mkfifo(path.c_str(), 0644);
}
void Socket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}
void LinkToDevice(const std::string& path) {
    symlink("/dev/zero", path.c_str());
}
void InReadOnlyFolder(const std::string& path) {
    chmod(testing::Utf8FromPath(std::filesystem::path(path).parent_path()).c_str(), 0555);
}
#endif

INSTANTIATE_TEST_SUITE_P(
    Table, Target,
    ::testing::Values(TargetCase{"Missing", Nothing, true}, TargetCase{"Plain", Plain, true},
                      TargetCase{"Folder", Folder, false}, TargetCase{"ReadOnly", ReadOnly, false}
#if !defined(_WIN32)
                      ,
                      TargetCase{"Fifo", Fifo, false}, TargetCase{"Socket", Socket, false},
                      TargetCase{"LinkToDevice", LinkToDevice, false},
                      TargetCase{"InReadOnlyFolder", InReadOnlyFolder, false}
#endif
                      ),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CanReplace, RefusesAFileHeldByAnotherProgramAndAMissingFolder) {
    TempDir dir;
    const std::string path = dir.File("held.vid");
    WriteBytes(path, kOld);
    ExclusiveFile holder(path, FileAccess::ReadExisting);
    ASSERT_TRUE(holder.IsOpen());
    EXPECT_FALSE(CanReplace(path));
    EXPECT_FALSE(CanReplace(dir.File("gone/b.vid")));
}

#if !defined(_WIN32)
TEST(LinkTarget, IsTheFileTheLinkLeadsToOrNothingForADanglingLink) {
    TempDir dir;
    const std::string real = dir.File("real.vid");
    const std::string link = dir.File("link.vid");
    WriteBytes(real, kOld);
    ASSERT_EQ(symlink("real.vid", link.c_str()), 0);
    ASSERT_EQ(symlink("missing.vid", dir.File("dangling.vid").c_str()), 0);
    EXPECT_EQ(ResolveLinkTarget(real), real);
    EXPECT_EQ(std::filesystem::path(ResolveLinkTarget(link).value()),
              std::filesystem::canonical(real));
    EXPECT_EQ(ResolveLinkTarget(dir.File("dangling.vid")), std::nullopt);
}
#endif

}  // namespace
}  // namespace velloran
