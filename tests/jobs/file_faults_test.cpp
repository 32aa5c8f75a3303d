// What the disk and the file system can do to a transfer: fill up, be held by another
// program, refuse writes, carry unusual names, or change under a running send.
#include <gtest/gtest.h>

#include <filesystem>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "jobs/dispatcher.h"
#include "jobs/jobs.h"
#include "jobs/receive_file.h"
#include "jobs/string_table.h"
#include "platform/exclusive_file.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

const std::vector<uint8_t> kEarlier{'o', 'l', 'd'};

class FileFaults : public JobTest {
  protected:
    Outcome ReceiveInto(const std::string& path) {
        Prepare(kQ20, kDirectionReceive);
        context->filePath = path;
        SingleRegionReceiveJob(*context);
        return OnlyOutcome();
    }
};

#if !defined(_WIN32)
bool PartialExistsFor(const std::string& path) {
    return std::filesystem::exists(PathFromUtf8(ReceiveFile::PartialPathFor(path)));
}

// POSIX only: a full disk (a file size limit) and a user without rights, each in a
// child process of its own.

// The child's exit code says which check failed: 0 none.
int ExitCodeOf(const Outcome& outcome, const std::string& path, bool checkPartial) {
    if (outcome != Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0)) {
        return 1;
    }
    if (checkPartial && PartialExistsFor(path)) {
        return 2;
    }
    return ReadBytes(path) == kEarlier ? 0 : 3;
}

// Runs in a child process so the file size limit stays there.
TEST_F(FileFaults, DiskThatFillsInTheMiddleEndsWithInterruptedAndNoPartialFile) {
    const std::string path = dir.File("full.vid");
    WriteBytes(path, kEarlier);
    const auto child = [&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ExitCodeOf(ReceiveInto(path), path, true));
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

// Permissions bind only an ordinary user, so a child of a root test drops to one.
TEST_F(FileFaults, FolderWithoutWritePermissionFailsWithoutDamage) {
    const std::filesystem::path folder = dir.Path() / "locked";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "backup.vid").string();
    WriteBytes(path, kEarlier);
    chmod(dir.Path().c_str(), 0755);
    chmod(folder.c_str(), 0555);
    const auto child = [&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(4);
        }
        _exit(ExitCodeOf(ReceiveInto(path), path, false));
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
    chmod(folder.c_str(), 0755);
}

// A receive onto a link replaces the file the link leads to and keeps the link; the
// new file keeps the permission bits of the one it replaced.
TEST_F(FileFaults, LinkIsKeptAndTheFileItLeadsToReplacedWithItsPermissions) {
    const std::filesystem::path dated = dir.Path() / "dated";
    std::filesystem::create_directory(dated);
    const std::string real = (dated / "b-0101.vid").string();
    const std::string link = dir.File("current.vid");
    WriteBytes(real, kEarlier);
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink("dated/b-0101.vid", link.c_str()), 0);
    ASSERT_EQ(ReceiveInto(link), Outcome::Succeeded());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 0x28010u);
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dated),
                            std::filesystem::directory_iterator()),
              1);
}

// A receive killed in the middle leaves the earlier backup as it was; the next receive of
// that name succeeds and leaves no partial file.
TEST_F(FileFaults, KilledReceiveLosesNothingAndTheNextOneSucceeds) {
    const std::string path = dir.File("b.vid");
    WriteBytes(path, kEarlier);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        printer.beforeReply = [](uint32_t n) {
            if (n == 300) {
                raise(SIGKILL);
            }
        };
        ReceiveInto(path);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadBytes(path), kEarlier);
    EXPECT_TRUE(PartialExistsFor(path)) << "the killed run's leftover";
    EXPECT_EQ(ReceiveInto(path), Outcome::Succeeded());
    EXPECT_EQ(ReadBytes(path).size(), 0x28010u);
    EXPECT_FALSE(PartialExistsFor(path));
}

#endif

TEST_F(FileFaults, BackupHeldByAnotherProgramIsRefusedForASend) {
    Prepare(kQ20, kDirectionSend);
    WriteBytes(context->filePath, SingleRegionFile(HeaderOf(kQ20), 0x10008000, 600, 600));
    ExclusiveFile holder(context->filePath, FileAccess::kWriteCreateOrAppend);
    ASSERT_TRUE(holder.IsOpen());
    OnBkupStart(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_SEND_FAILED, 0));
    EXPECT_TRUE(Frames().empty());
}

// A target that cannot be replaced is refused when the file header is written, right
// after the OpenFrame, not after the whole transfer; nothing is left behind.
struct RefusedCase {
    const char* name;
    void (*make)(const std::string& path);
};

class RefusedTarget : public FileFaults, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedTarget, FailsAfterOneExchange) {
    const std::string path = dir.File("t.vid");
    GetParam().make(path);
    const auto before = std::filesystem::symlink_status(PathFromUtf8(path)).type();
    EXPECT_EQ(ReceiveInto(path), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(std::filesystem::symlink_status(PathFromUtf8(path)).type(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedTarget,
    ::testing::Values(
        RefusedCase{"Folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
        RefusedCase{"ReadOnly",
                    [](const std::string& p) {
                        WriteBytes(p, kEarlier);
                        std::filesystem::permissions(p, std::filesystem::perms::owner_read);
                    }}
#if !defined(_WIN32)
        ,
        RefusedCase{"Fifo", [](const std::string& p) { mkfifo(p.c_str(), 0644); }},
        RefusedCase{"DanglingLink", [](const std::string& p) { symlink("gone", p.c_str()); }},
        RefusedCase{"LinkToFolder", [](const std::string& p) { symlink("/tmp", p.c_str()); }}
#endif
        ),
    [](const auto& info) { return std::string(info.param.name); });

// Files of the user beside the target, under names a partial file might take, stay as
// they were; a partial file a killed receive left goes.
struct NeighbourCase {
    const char* name;
    std::string suffix;
    std::vector<uint8_t> bytes;
    bool succeeds;
    bool stays;
};

class Neighbour : public FileFaults, public ::testing::WithParamInterface<NeighbourCase> {};

TEST_P(Neighbour, IsKeptUnlessItIsOurLeftover) {
    const std::string path = dir.File("b.vid");
    const std::string neighbour = path + GetParam().suffix;
    WriteBytes(path, kEarlier);
    WriteBytes(neighbour, GetParam().bytes);
    const Outcome outcome = ReceiveInto(path);
    EXPECT_EQ(outcome.success, GetParam().succeeds);
    EXPECT_EQ(ReadBytes(path).size(), GetParam().succeeds ? 0x28010u : kEarlier.size());
    EXPECT_EQ(std::filesystem::exists(PathFromUtf8(neighbour)), GetParam().stays);
    if (GetParam().stays) {
        EXPECT_EQ(ReadBytes(neighbour), GetParam().bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Neighbour,
    ::testing::Values(NeighbourCase{"UsersPartial", ".partial", {'m', 'i', 'n', 'e'}, true, true},
                      NeighbourCase{"UsersFileUnderOurName",
                                    ".velloran-partial",
                                    {'m', 'i', 'n', 'e', '!', '!', '!'},
                                    false,
                                    true},
                      NeighbourCase{"OurEmptyLeftover", ".velloran-partial", {}, true, false},
                      NeighbourCase{"OurLeftover",
                                    ".velloran-partial",
                                    {0x00, 0x08, 0x09, 0x01, 0, 0, 0, 0, 1},
                                    true,
                                    false}),
    [](const auto& info) { return std::string(info.param.name); });

class UnusualNames : public FileFaults, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnusualNames, RoundTripThroughReceiveAndSend) {
    const std::string path = dir.File(GetParam());
    ASSERT_EQ(ReceiveInto(path), Outcome::Succeeded());
    const std::vector<uint8_t> received = ReadBytes(path);
    ASSERT_EQ(received.size(), 0x28010u);

    driver.writes.clear();
    Prepare(kQ20, kDirectionSend);
    context->filePath = path;
    ASSERT_EQ(context->ValidateSingleRegionFile(), 1);
    SingleRegionSendJob(*context);
    EXPECT_EQ(outcomes.All().back(), Outcome::Succeeded());
    EXPECT_EQ(printer.Written().at(0x10008000 + 0x27FFF), received.back());
}

INSTANTIATE_TEST_SUITE_P(Names, UnusualNames,
                         ::testing::Values(std::string("ラベル印刷機 バックアップ.vid"),
                                           std::string(80, 'x') + std::string("機") +
                                               std::string(160, 'y') + ".vid"));

TEST(PartialPath, StaysWithinANameLengthAndCutsAtACharacterBoundary) {
    EXPECT_EQ(ReceiveFile::PartialPathFor("/a/b.vid"), "/a/b.vid.velloran-partial");
    const std::string name = std::string(236, 'x') + "機.vid";  // 236 + 3 + 4 bytes
    const std::string partial = ReceiveFile::PartialPathFor("/a/" + name);
    const std::string partialName = partial.substr(3);
    EXPECT_LE(partialName.size(), 255u);
    EXPECT_EQ(partialName, std::string(236, 'x') + ".velloran-partial");
}

}  // namespace
}  // namespace velloran::testing
