#include "jobs/worker_starter.h"

#include <system_error>

namespace velloran {
namespace {

class ThreadStarter final : public WorkerStarter {
  public:
    std::optional<std::thread> Start(std::function<void()> body) override {
        try {
            return std::thread(std::move(body));
        } catch (const std::system_error&) {
            return std::nullopt;
        }
    }
};

}  // namespace

WorkerStarter& SystemWorkerStarter() {
    static ThreadStarter starter;
    return starter;
}

}  // namespace velloran
