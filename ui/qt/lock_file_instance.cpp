#include "ui/qt/lock_file_instance.h"

#include <QDir>
#include <QFileInfo>

namespace velloran {
namespace {

constexpr char kRuntimeFolderVariable[] = "XDG_RUNTIME_DIR";
constexpr char kFallbackFolder[] = "/tmp";
constexpr char kLockSuffix[] = ".lock";

}  // namespace

QString RuntimeFolder() {
    const QString folder = qEnvironmentVariable(kRuntimeFolderVariable);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder
                                                          : QString::fromLatin1(kFallbackFolder);
}

bool LockFileInstance::TryAcquire(const std::string& name) {
    const QString path =
        QDir(folder_).filePath(QString::fromStdString(name) + QLatin1String(kLockSuffix));
    auto lock = std::make_unique<QLockFile>(path);
    // A lock counts as stale only when the program that holds it has gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

void LockFileInstance::Release() {
    lock_.reset();
}

}  // namespace velloran
