#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "ui/ui_thread.h"

namespace velloran::testing {

// A user-interface thread for tests: the thread that made it runs the calls other threads
// send, in order, while it waits in RunUntil; each sender blocks until its call has run.
class FakeUiLoop final : public UiThread {
  public:
    // A sender may still be returning from its last call when the window that owns the
    // loop goes: wait for it, as the real front end does.
    ~FakeUiLoop() override {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return senders_ == 0; });
    }

    void Send(const std::function<void()>& call) override {
        if (std::this_thread::get_id() == owner_) {
            call();
            return;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        ++senders_;
        Pending pending{&call};
        queue_.push_back(&pending);
        changed_.notify_all();
        changed_.wait(lock, [&pending] { return pending.done; });
        --senders_;
        changed_.notify_all();
    }

    // Runs sent calls until `finished` holds. False if no call came for a long time: a
    // guard against a hung test, never reached when the code works.
    bool RunUntil(const std::function<bool()>& finished) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!finished()) {
            if (!changed_.wait_for(lock, kHangGuard, [this] { return !queue_.empty(); })) {
                return false;
            }
            Pending* next = queue_.front();
            queue_.pop_front();
            lock.unlock();
            (*next->call)();
            lock.lock();
            next->done = true;
            changed_.notify_all();
        }
        return true;
    }

    bool OnLoopThread() const { return std::this_thread::get_id() == owner_; }

  private:
    struct Pending {
        const std::function<void()>* call;
        bool done = false;
    };
    static constexpr std::chrono::seconds kHangGuard{30};

    const std::thread::id owner_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending*> queue_;
    int senders_ = 0;
};

}  // namespace velloran::testing
