// The single-instance token as a lock file in the user's runtime folder.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"
#include "ui/qt/lock_file_instance.h"

namespace velloran::testing {
namespace {

TEST(LockFileInstanceTest, SecondHolderIsRefusedUntilTheFirstReleases) {
    TempDir folder;
    const QString runtime = QString::fromStdString(folder.Path().string());
    LockFileInstance first(runtime);
    LockFileInstance second(runtime);

    ASSERT_TRUE(first.TryAcquire("velloran"));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(folder.File("velloran.lock"))));
    EXPECT_FALSE(second.TryAcquire("velloran"));
    EXPECT_TRUE(second.TryAcquire("other-program"));

    first.Release();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder.File("velloran.lock"))));
    EXPECT_TRUE(second.TryAcquire("velloran"));
}

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RuntimeFolderTest, IsXdgRuntimeDirWhenItIsAFolderOtherwiseTmp) {
    TempDir folder;
    const std::string path = folder.Path().string();
    {
        ScopedVariable set("XDG_RUNTIME_DIR", path.c_str());
        EXPECT_EQ(RuntimeFolder().toStdString(), path);
    }
    {
        ScopedVariable missing("XDG_RUNTIME_DIR", "/nonexistent/velloran-runtime");
        EXPECT_EQ(RuntimeFolder(), "/tmp");
    }
    {
        ScopedVariable unset("XDG_RUNTIME_DIR", nullptr);
        EXPECT_EQ(RuntimeFolder(), "/tmp");
    }
}

}  // namespace
}  // namespace velloran::testing
