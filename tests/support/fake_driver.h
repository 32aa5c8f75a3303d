#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"

namespace velloran::testing {

// One scripted answer of UsbRead: the driver result, the bytes delivered and, when set,
// a count reported instead of the number of bytes.
struct ScriptedRead {
    uint32_t result = 0;
    std::vector<uint8_t> bytes;
    int64_t reportedCount = -1;
};

// A driver library made of fake entry points, handed out by a fake loader. Only one
// FakeDriver may exist at a time: the entry points reach it through a global.
class FakeDriver final : public LibraryLoader {
  public:
    FakeDriver();
    ~FakeDriver() override;

    void* Load(const std::string& catalogueFileName) override;
    void* Symbol(void* library, const char* name) override;
    void Free(void* library) override;

    // Behaviour.
    bool loadFails = false;
    std::set<std::string> missingSuffixes;
    int32_t activeIndex = 0;       // the index that answers CheckActiveDevice; -1 none
    std::set<int32_t> moreActive;  // further indices that answer
    uint32_t startResult = 0;
    uint32_t writeResult = 0;
    std::deque<ScriptedRead> reads;  // consumed one per UsbRead
    // Called after a frame is recorded, when EndDevice is called, and on each load.
    std::function<void(const std::vector<uint8_t>&)> onWrite = [](const auto&) {};
    std::function<void()> onEnd = [] {};
    std::function<void()> onLoad = [] {};

    // Records.
    std::vector<std::string> loadedNames;
    std::vector<std::string> resolvedNames;
    int loads = 0;
    int frees = 0;
    std::vector<int32_t> checkedIndices;
    std::vector<int32_t> startIndices;
    std::vector<uint32_t> endedHandles;
    std::vector<std::vector<uint8_t>> writes;
    std::vector<uint32_t> readCountsAsked;

    static FakeDriver& Active();

  private:
    int token_ = 0;  // the address handed out as the library module
};

}  // namespace velloran::testing
