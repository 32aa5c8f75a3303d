// The Windows clock's choices through fakes of its system calls (Wine sleeps on the Linux
// clock and throttles no timer): a pause, a fine timer scope, a system DLL's load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/system_library_win32.h"
#include "platform/timer_win32.h"

namespace velloran::testing {
namespace {

// Every call the fakes below were given, in order.
using Log = std::vector<std::string>;
Log seen;

// A counter of 10 MHz (100 ns a count, as on most PCs) that each read moves on by 1 us.
struct FakePauseCalls final : PauseCalls {
    bool hasPreciseTimer = true;
    int64_t lateBy = 0;  // how late (negative: early) a timer or Sleep wakes, in counts
    int64_t now = 0;

    int64_t Counter() override { return now += 10; }
    int64_t CountsPerSecond() override { return 10000000; }
    bool WaitOnPreciseTimer(int64_t hundredNanoseconds) override {
        seen.push_back("timer " + std::to_string(hundredNanoseconds));
        now += hasPreciseTimer ? hundredNanoseconds + lateBy : 0;
        return hasPreciseTimer;
    }
    void Sleep(uint32_t milliseconds) override {
        seen.push_back("Sleep " + std::to_string(milliseconds));
        now += milliseconds * 10000LL + lateBy;
    }
};

// Never shorter than asked, and longer only by a few reads or by a late wake.
TEST(WindowsClock, PausesOnThePreciseTimerOrSleepThenWaitsOutTheRestOnTheCounter) {
    const struct {
        bool hasPreciseTimer;
        uint32_t milliseconds;
        int64_t lateBy;
        Log waits;
        int64_t endsAfterUs;
    } cases[] = {
        {true, 10, 0, {"timer 90000"}, 10000},
        {true, 10, 20000, {"timer 90000"}, 11000},
        {false, 10, 0, {"timer 90000", "Sleep 9"}, 10000},
        {false, 10, -10000, {"timer 90000", "Sleep 9"}, 10000},  // a tick early
        {true, 1, 0, {}, 1000},                                  // all on the counter
        {true, 2, 0, {"timer 10000"}, 2000},
    };
    for (const auto& c : cases) {
        seen.clear();
        FakePauseCalls calls;
        calls.hasPreciseTimer = c.hasPreciseTimer;
        calls.lateBy = c.lateBy;
        PauseAtLeast(calls, c.milliseconds);
        EXPECT_EQ(seen, c.waits);
        EXPECT_GE(calls.now, c.milliseconds * 10000LL);
        EXPECT_LE(calls.now, c.endsAfterUs * 10 + 30);
    }
}

template <const char* kName>
UINT WINAPI FakePeriod(UINT milliseconds) {
    seen.push_back(kName + std::to_string(milliseconds));
    return 0;
}
constexpr char kBegin[] = "begin ";
constexpr char kEnd[] = "end ";

BOOL WINAPI FakeSetProcessInformation(HANDLE, int kind, void* information, DWORD size) {
    const auto* state = static_cast<const ULONG*>(information);
    for (const ULONG value : {ULONG(kind), size, state[0], state[1], state[2]}) {
        seen.push_back(std::to_string(value));
    }
    return FALSE;  // refused, as before Windows 11
}

// Windows 11 honours the 1 ms timer of a minimised or covered window only after this
// opt-out: ProcessPowerThrottling (4), 12 bytes, version 1, IGNORE_TIMER_RESOLUTION (4)
// in the control mask, not in the state mask. Before Windows 8 there is no such call.
TEST(WindowsClock, FineTimerScopeOptsOutOfTimerThrottlingThenSetsTheTimer) {
    seen.clear();
    const TimerResolutionCalls previous =
        SetTimerResolutionCalls({FakePeriod<kBegin>, FakePeriod<kEnd>, FakeSetProcessInformation});
    { const FineTimerScope scope; }
    EXPECT_EQ(seen, (Log{"4", "12", "1", "4", "0", "begin 1", "end 1"}));
    seen.clear();
    SetTimerResolutionCalls({FakePeriod<kBegin>, FakePeriod<kEnd>, nullptr});
    { const FineTimerScope scope; }
    SetTimerResolutionCalls(previous);
    EXPECT_EQ(seen, (Log{"begin 1", "end 1"}));
}

struct FakeLoader final : LibraryLoadCalls {
    bool takesSearchFlag = true;

    HMODULE Load(const std::wstring& path, DWORD flags) override {
        seen.push_back(std::string(path.begin(), path.end()) + " " + std::to_string(flags));
        return takesSearchFlag || flags != 0x800 ? reinterpret_cast<HMODULE>(0x10000000) : nullptr;
    }
    std::wstring SystemFolder() override { return L"C:\\Windows\\system32"; }
};

// LOAD_LIBRARY_SEARCH_SYSTEM32 (2048), refused on Windows 7 without its loader update:
// then the full system-folder path with LOAD_WITH_ALTERED_SEARCH_PATH (8), never the
// plain name, which the program's folder would answer.
TEST(WindowsClock, SystemLibraryLoadsFromTheSystemFolderOnly) {
    for (const bool takesSearchFlag : {true, false}) {
        seen.clear();
        FakeLoader loader;
        loader.takesSearchFlag = takesSearchFlag;
        EXPECT_NE(LoadSystemLibrary(L"winmm.dll", loader), nullptr);
        EXPECT_EQ(seen,
                  (takesSearchFlag ? Log{"winmm.dll 2048"}
                                   : Log{"winmm.dll 2048", "C:\\Windows\\system32\\winmm.dll 8"}));
    }
}

}  // namespace
}  // namespace velloran::testing
