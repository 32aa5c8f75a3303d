#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velloran::testing {

// Answers the message boxes of this process with OK from a thread of its own, noting
// for each what it said and what the transfer window showed at that moment.
class BoxAnswerer {
  public:
    struct Box {
        std::wstring text;
        std::wstring caption;
        HWND owner;
        bool transferWindowVisible;
        LRESULT barPosition;  // -1 without a visible transfer window
    };

    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<Box> Boxes();

  private:
    void Run();
    void Answer(HWND box);

    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace velloran::testing
