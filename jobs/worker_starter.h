#pragma once

#include <functional>
#include <optional>
#include <thread>

namespace velloran {

// Starts a job's worker thread. Tests substitute one that fails, or that runs the job
// on a thread of their own choosing.
class WorkerStarter {
  public:
    virtual ~WorkerStarter() = default;
    // The started thread, or nullopt when no thread could be started.
    virtual std::optional<std::thread> Start(std::function<void()> body) = 0;
};

WorkerStarter& SystemWorkerStarter();

}  // namespace velloran
