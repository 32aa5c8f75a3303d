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

TEST(BackupAppTest, FirstInstanceRunsTheMainWindowAndGivesTheTokenBackAtExit) {
    FakeLock lock;
    CountingWindow window;
    CBackupApp app(lock, window, "/usr/local/bin/velloran");

    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(lock.names, std::vector<std::string>{"velloran"});
    EXPECT_EQ(window.runs, 1);
    EXPECT_TRUE(app.HoldsInstance());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(lock.releases, 1);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(lock.releases, 1);
}

TEST(BackupAppTest, SecondInstanceEndsWithoutAWindow) {
    FakeLock lock;
    lock.heldElsewhere = true;
    CountingWindow window;
    CBackupApp app(lock, window, "/usr/local/bin/velloran");

    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(window.runs, 0);
    EXPECT_FALSE(app.HoldsInstance());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(lock.releases, 0);
}

struct BaseName {
    std::string path;
    std::string name;
};

class ExecutableBaseNameTest : public ::testing::TestWithParam<BaseName> {};

TEST_P(ExecutableBaseNameTest, DropsTheFolderAndTheExtension) {
    EXPECT_EQ(ExecutableBaseName(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExecutableBaseNameTest,
                         ::testing::Values(BaseName{"/usr/bin/velloran", "velloran"},
                                           BaseName{"C:\\Tools\\VELLORAN.exe", "VELLORAN"},
                                           BaseName{"/opt/v1.2/velloran", "velloran"},
                                           BaseName{"/opt/app.tar.gz", "app.tar"},
                                           BaseName{"/home/u/.hidden", ".hidden"},
                                           BaseName{"velloran", "velloran"}));

}  // namespace
}  // namespace velloran::testing
