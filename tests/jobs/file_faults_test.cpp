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

#include "jobs/receive_file.h"
#include "jobs/string_table.h"
#include "platform/exclusive_file.h"
#include "tests/support/job_fixture.h"

namespace velloran::testing {
namespace {

namespace fs = std::filesystem;

Outcome ReceiveInto(JobRig& r, const std::string& path) {
    r.Prepare(kQ20, kDirectionReceive);
    r.context->filePath = path;
    r.RunJob();
    return r.OnlyOutcome();
}

size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

#if !defined(_WIN32)
// POSIX only, each in a child process of its own: a full disk (a file size limit) and a
// user without rights (a child of a root test drops to one). The child's exit code says
// which check failed, 0 none: the outcome, a partial file left, the earlier file changed.
TEST_F(JobTest, FullDiskOrLockedFolderFailsWithoutDamage) {
    for (const bool full : {true, false}) {
        const fs::path folder = dir.Path() / (full ? "full" : "locked");
        fs::create_directory(folder);
        const std::string path = (folder / "backup.vid").string();
        WriteBytes(path, kEarlierBackup);
        chmod(dir.Path().c_str(), 0755);
        chmod(folder.c_str(), full ? 0755 : 0555);
        const auto child = [&] {
            if (full) {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{100000, 100000};
                setrlimit(RLIMIT_FSIZE, &limit);
            } else if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                _exit(4);
            }
            if (ReceiveInto(*this, path) != Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0)) {
                _exit(1);
            }
            _exit(PartialLeftFor(path) ? 2 : ReadBytes(path) == kEarlierBackup ? 0 : 3);
        };
        EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "") << folder;
        chmod(folder.c_str(), 0755);
    }
}

// A receive onto a link replaces the file the link leads to and keeps the link; the
// new file keeps the permission bits of the one it replaced.
TEST_F(JobTest, LinkIsKeptAndTheFileItLeadsToReplacedWithItsPermissions) {
    const fs::path dated = dir.Path() / "dated";
    fs::create_directory(dated);
    const std::string real = (dated / "b-0101.vid").string();
    const std::string link = dir.File("current.vid");
    WriteBytes(real, kEarlierBackup);
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink("dated/b-0101.vid", link.c_str()), 0);
    ASSERT_EQ(ReceiveInto(*this, link), Outcome::Succeeded());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 0x28010u);
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    EXPECT_EQ(EntriesIn(dated), 1u);
}

// A receive killed in the middle leaves the earlier backup as it was; the next receive of
// that name succeeds and leaves no partial file.
TEST(FileFault, KilledReceiveLosesNothingAndTheNextOneSucceeds) {
    TempDir dir;
    const std::string path = dir.File("b.vid");
    WriteBytes(path, kEarlierBackup);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        JobRig r;
        r.printer.beforeReply = [](uint32_t n) {
            if (n == 300) {
                raise(SIGKILL);
            }
        };
        ReceiveInto(r, path);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadBytes(path), kEarlierBackup);
    EXPECT_TRUE(PartialLeftFor(path)) << "the killed run's leftover";
    JobRig r;
    EXPECT_EQ(ReceiveInto(r, path), Outcome::Succeeded());
    EXPECT_EQ(ReadBytes(path).size(), 0x28010u);
    EXPECT_FALSE(PartialLeftFor(path));
}
#endif

// A target that cannot be replaced is refused when the file header is written, right
// after the OpenFrame, not after the whole transfer; nothing is left behind.
TEST(FileFault, TargetThatCannotBeReplacedFailsAfterOneExchange) {
    const std::vector<void (*)(const std::string&)> makers = {
        [](const std::string& p) { fs::create_directory(p); },
        [](const std::string& p) {
            WriteBytes(p, kEarlierBackup);
            fs::permissions(p, fs::perms::owner_read);
        },
#if !defined(_WIN32)
        [](const std::string& p) { mkfifo(p.c_str(), 0644); },
        [](const std::string& p) { symlink("gone", p.c_str()); },
        [](const std::string& p) { symlink("/tmp", p.c_str()); },
#endif
    };
    for (size_t i = 0; i < makers.size(); ++i) {
        SCOPED_TRACE(i);
        JobRig r;
        const std::string path = r.dir.File("t.vid");
        makers[i](path);
        const auto before = fs::symlink_status(PathFromUtf8(path)).type();
        EXPECT_EQ(ReceiveInto(r, path), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
        EXPECT_EQ(r.Frames().size(), 1u);
        EXPECT_EQ(fs::symlink_status(PathFromUtf8(path)).type(), before);
        EXPECT_EQ(EntriesIn(r.dir.Path()), 1u);
    }
}

// Files of the user beside the target, under names a partial file might take, stay as
// they were; a partial file a killed receive left goes.
TEST(FileFault, NeighbourIsKeptUnlessItIsOurLeftover) {
    const struct {
        const char* suffix;
        std::vector<uint8_t> bytes;
        bool succeeds, stays;
    } cases[] = {
        {".partial", {'m', 'i', 'n', 'e'}, true, true},
        {".velloran-partial", {'m', 'i', 'n', 'e', '!', '!', '!'}, false, true},
        {".velloran-partial", {}, true, false},
        {".velloran-partial", {0x00, 0x08, 0x09, 0x01, 0, 0, 0, 0, 1}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        JobRig r;
        const std::string path = r.dir.File("b.vid");
        const std::string neighbour = path + c.suffix;
        WriteBytes(path, kEarlierBackup);
        WriteBytes(neighbour, c.bytes);
        EXPECT_EQ(ReceiveInto(r, path).success, c.succeeds);
        EXPECT_EQ(ReadBytes(path).size(), c.succeeds ? 0x28010u : kEarlierBackup.size());
        EXPECT_EQ(fs::exists(PathFromUtf8(neighbour)), c.stays);
        EXPECT_EQ(ReadBytes(neighbour), c.stays ? c.bytes : std::vector<uint8_t>{});
    }
}

TEST(FileFault, UnusualNamesRoundTripThroughReceiveAndSend) {
    const std::string names[] = {"ラベル印刷機 バックアップ.vid",
                                 std::string(80, 'x') + "機" + std::string(160, 'y') + ".vid"};
    for (const std::string& name : names) {
        JobRig r;
        const std::string path = r.dir.File(name);
        ASSERT_EQ(ReceiveInto(r, path), Outcome::Succeeded());
        const std::vector<uint8_t> received = ReadBytes(path);
        ASSERT_EQ(received.size(), 0x28010u);
        r.driver.writes.clear();
        r.Prepare(kQ20, kDirectionSend).filePath = path;
        r.RunJob();
        EXPECT_EQ(r.outcomes.All().back(), Outcome::Succeeded());
        EXPECT_EQ(r.printer.Written().at(0x10008000 + 0x27FFF), received.back());
    }
}

TEST(PartialPath, StaysWithinANameLengthAndCutsAtACharacterBoundary) {
    EXPECT_EQ(ReceiveFile::PartialPathFor("/a/b.vid"), "/a/b.vid.velloran-partial");
    std::string name = "/a/";  // then 236 + 3 + 4 bytes of name
    name.append(236, 'x');
    const std::string partial = name + ".velloran-partial";
    EXPECT_EQ(ReceiveFile::PartialPathFor(name + "機.vid"), partial);
}

}  // namespace
}  // namespace velloran::testing
