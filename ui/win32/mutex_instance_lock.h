#pragma once

#include <windows.h>

#include "ui/instance_lock.h"

namespace velloran {

// The single-instance token as a named mutex, created owned: when the name is taken
// already, another instance of the program runs.
class MutexInstanceLock final : public InstanceLock {
  public:
    MutexInstanceLock() = default;
    ~MutexInstanceLock() override { Release(); }
    MutexInstanceLock(const MutexInstanceLock&) = delete;
    MutexInstanceLock& operator=(const MutexInstanceLock&) = delete;

    bool TryAcquire(const std::string& name) override;
    void Release() override;

  private:
    HANDLE mutex_ = nullptr;
};

}  // namespace velloran
