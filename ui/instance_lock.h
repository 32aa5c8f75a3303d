#pragma once

#include <string>

namespace velloran {

// The system-wide token that lets one instance of the program run at a time.
class InstanceLock {
  public:
    virtual ~InstanceLock() = default;
    // Takes the token called `name`; false when another instance holds it or it cannot
    // be taken.
    virtual bool TryAcquire(const std::string& name) = 0;
    virtual void Release() = 0;
};

}  // namespace velloran
