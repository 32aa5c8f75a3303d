// The single-instance token as a lock file in the user's runtime folder.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <cstdlib>

#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"
#include "ui/qt/lock_file_instance.h"

namespace velloran::testing {
namespace {

TEST(LockFileInstanceTest, SecondHolderIsRefusedUntilTheFirstReleases) {
    TempDir folder;
    const QString runtime = QString::fromStdString(folder.Path().string());
    const QString lock = QString::fromStdString(folder.File("velloran.lock"));
    LockFileInstance first(runtime);
    LockFileInstance second(runtime);
    ASSERT_TRUE(first.TryAcquire("velloran"));
    EXPECT_TRUE(QFileInfo::exists(lock));
    EXPECT_FALSE(second.TryAcquire("velloran"));
    EXPECT_TRUE(second.TryAcquire("other-program"));
    first.Release();
    EXPECT_FALSE(QFileInfo::exists(lock));
    EXPECT_TRUE(second.TryAcquire("velloran"));
}

TEST(RuntimeFolderTest, IsXdgRuntimeDirWhenItIsAFolderOtherwiseTmp) {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old != nullptr ? old : "";
    TempDir folder;
    SetEnvVar("XDG_RUNTIME_DIR", folder.Path().string());
    EXPECT_EQ(RuntimeFolder().toStdString(), folder.Path().string());
    SetEnvVar("XDG_RUNTIME_DIR", "/nonexistent/velloran-runtime");
    EXPECT_EQ(RuntimeFolder(), "/tmp");
    UnsetEnvVar("XDG_RUNTIME_DIR");
    EXPECT_EQ(RuntimeFolder(), "/tmp");
    if (old != nullptr) {
        SetEnvVar("XDG_RUNTIME_DIR", saved);
    }
}

}  // namespace
}  // namespace velloran::testing
