#pragma once

#include <functional>

namespace velloran {

// The user-interface thread as seen from any thread: Send runs a call there and returns
// only after it has run. Called on the user-interface thread itself, it runs the call
// at once.
class UiThread {
  public:
    virtual ~UiThread() = default;
    virtual void Send(const std::function<void()>& call) = 0;
};

}  // namespace velloran
