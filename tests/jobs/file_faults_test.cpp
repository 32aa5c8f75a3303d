// What the disk and the file system can do to a transfer: fill up, be held by another
// program, refuse writes, carry unusual names, or change under a running send.
#include <gtest/gtest.h>

#include <filesystem>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
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

bool PartialExistsFor(const std::string& path) {
    return std::filesystem::exists(PathFromUtf8(ReceiveFile::PartialPathFor(path)));
}

#if !defined(_WIN32)
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

#endif

TEST_F(FileFaults, BackupHeldByAnotherProgramIsRefusedForASend) {
    Prepare(kQ20, kDirectionSend);
    WriteBytes(context->filePath, SingleRegionFile(HeaderOf(kQ20), 0x10008000, 600, 600));
    ExclusiveFile holder(context->filePath, FileAccess::WriteCreateOrAppend);
    ASSERT_TRUE(holder.IsOpen());
    OnBkupStart(*context);
    EXPECT_EQ(OnlyOutcome(), Outcome::Failed(IDS_SEND_FAILED, 0));
    EXPECT_TRUE(Frames().empty());
}

TEST_F(FileFaults, BackupHeldByAnotherProgramIsNotReplacedByAReceive) {
    const std::string path = dir.File("held.vid");
    WriteBytes(path, kEarlier);
    {
        ExclusiveFile holder(path, FileAccess::ReadExisting);
        ASSERT_TRUE(holder.IsOpen());
        EXPECT_EQ(ReceiveInto(path), Outcome::Failed(IDS_RECEIVE_INTERRUPTED, 0));
    }
    EXPECT_EQ(ReadBytes(path), kEarlier);
    EXPECT_FALSE(PartialExistsFor(path));
}

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
    EXPECT_EQ(ReceiveFile::PartialPathFor("/a/b.vid"), "/a/b.vid.partial");
    const std::string name = std::string(245, 'x') + "機.vid";  // 245 + 3 + 4 bytes
    const std::string partial = ReceiveFile::PartialPathFor("/a/" + name);
    const std::string partialName = partial.substr(3);
    EXPECT_LE(partialName.size(), 255u);
    EXPECT_EQ(partialName, std::string(245, 'x') + ".partial");
}

}  // namespace
}  // namespace velloran::testing
