#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

#include "ui/instance_lock.h"

namespace velloran {

// The user's runtime folder: $XDG_RUNTIME_DIR, or /tmp when it is not set.
QString RuntimeFolder();

// The single-instance token as a lock file "<name>.lock" in `folder`. A lock left by a
// program that no longer runs is taken over.
class LockFileInstance final : public InstanceLock {
  public:
    explicit LockFileInstance(QString folder) : folder_(std::move(folder)) {}
    bool TryAcquire(const std::string& name) override;
    void Release() override;

  private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace velloran
