// Start-up and shut-down: one instance at a time, named after the program file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/backup_app.h"

namespace velloran::testing {
namespace {

class FakeLock final : public InstanceLock {
  public:
    bool TryAcquire(const std::string& name) override {
        names.push_back(name);
        return !heldElsewhere;
    }
    void Release() override { ++releases; }

    bool heldElsewhere = false;
    std::vector<std::string> names;
    int releases = 0;
};

class CountingWindow final : public MainWindowRunner {
  public:
    void RunMainWindow() override { ++runs; }
    int runs = 0;
};

class BackupAppTest : public ::testing::TestWithParam<bool> {};

TEST_P(BackupAppTest, OnlyTheFirstInstanceRunsTheWindowAndGivesTheTokenBackOnce) {
    const bool second = GetParam();
    FakeLock lock;
    lock.heldElsewhere = second;
    CountingWindow window;
    CBackupApp app(lock, window, "C:\\Tools\\VELLORAN.exe");
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(lock.names, std::vector<std::string>{"VELLORAN"});
    EXPECT_EQ(window.runs, second ? 0 : 1);
    EXPECT_EQ(app.HoldsInstance(), !second);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(lock.releases, second ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Instances, BackupAppTest, ::testing::Bool());

TEST(ExecutableBaseName, DropsTheFolderAndTheLastExtension) {
    EXPECT_EQ(ExecutableBaseName("/opt/v1.2/velloran"), "velloran");
    EXPECT_EQ(ExecutableBaseName("/opt/app.tar.gz"), "app.tar");
    EXPECT_EQ(ExecutableBaseName("/home/u/.hidden"), ".hidden");
}

}  // namespace
}  // namespace velloran::testing
