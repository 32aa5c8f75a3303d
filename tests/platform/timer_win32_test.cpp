// The Windows clock's decisions, through fakes of the system calls, since Wine sleeps on
// the Linux clock and has no timer throttling: how a pause is slept and waited out, what
// a fine timer scope asks of the system, and where a system DLL is loaded from.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/system_library_win32.h"
#include "platform/timer_win32.h"

namespace velloran::testing {
namespace {

// A performance counter of 10 MHz (100 ns a count, as on most Windows PCs) that each read
// moves on by 1 us, as a spinning thread sees it.
struct FakePauseCalls final : PauseCalls {
    bool hasPreciseTimer = true;
    int64_t lateBy = 0;  // how late (negative: early) a timer or Sleep wakes, in counts
    int64_t now = 0;
    std::vector<int64_t> timerWaits;
    std::vector<uint32_t> sleeps;

    int64_t Counter() override { return now += 10; }
    int64_t CountsPerSecond() override { return 10000000; }
    bool WaitOnPreciseTimer(int64_t hundredNanoseconds) override {
        timerWaits.push_back(hundredNanoseconds);
        if (hasPreciseTimer) {
            now += hundredNanoseconds + lateBy;
        }
        return hasPreciseTimer;
    }
    void Sleep(uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds * 10000LL + lateBy;
    }
};

TEST(WindowsClock, PausesOnThePreciseTimerOrSleepThenWaitsOutTheRestOnTheCounter) {
    const struct {
        const char* name;
        bool hasPreciseTimer;
        uint32_t milliseconds;
        int64_t lateBy;
        std::vector<int64_t> timerWaits;
        std::vector<uint32_t> sleeps;
        int64_t endsAfterUs;
    } cases[] = {
        {"timer", true, 10, 0, {95000}, {}, 10000},
        {"timer wakes 2 ms late", true, 10, 20000, {95000}, {}, 11500},
        {"no timer: Sleep", false, 10, 0, {95000}, {9}, 10000},
        {"no timer: Sleep ends a tick early", false, 10, -10000, {95000}, {9}, 10000},
        {"one ms", true, 1, 0, {5000}, {}, 1000},
        {"one ms, no timer: all on the counter", false, 1, 0, {5000}, {}, 1000},
        {"nothing", true, 0, 0, {}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePauseCalls calls;
        calls.hasPreciseTimer = c.hasPreciseTimer;
        calls.lateBy = c.lateBy;
        PauseAtLeast(calls, c.milliseconds);
        EXPECT_EQ(calls.timerWaits, c.timerWaits);
        EXPECT_EQ(calls.sleeps, c.sleeps);
        // Never shorter than asked, and over by no more than a few reads of the counter.
        EXPECT_GE(calls.now, c.milliseconds * 10000LL);
        EXPECT_LE(calls.now, c.endsAfterUs * 10 + 30);
    }
}

struct RecordedTimerCalls {
    std::vector<std::pair<const char*, UINT>> periods;
    std::vector<ULONG> processInformation;  // class, size, version, control mask, state mask
} recorded;

UINT WINAPI FakeBeginPeriod(UINT milliseconds) {
    recorded.periods.emplace_back("begin", milliseconds);
    return 0;
}

UINT WINAPI FakeEndPeriod(UINT milliseconds) {
    recorded.periods.emplace_back("end", milliseconds);
    return 0;
}

BOOL WINAPI FakeSetProcessInformation(HANDLE process, int informationClass, void* information,
                                      DWORD size) {
    EXPECT_EQ(process, GetCurrentProcess());
    const auto* state = static_cast<const ULONG*>(information);
    recorded.processInformation = {static_cast<ULONG>(informationClass), size, state[0], state[1],
                                   state[2]};
    return FALSE;  // as before Windows 11
}

// Windows 11 ignores the 1 ms timer of a process whose windows are minimised or covered
// unless it opts out (ProcessPowerThrottling, IGNORE_TIMER_RESOLUTION in the control mask
// and not in the state mask); where the call does not exist the timer is set all the same.
TEST(WindowsClock, FineTimerScopeSetsTheTimerAndOptsOutOfTimerThrottling) {
    for (const bool hasSetProcessInformation : {true, false}) {
        SCOPED_TRACE(hasSetProcessInformation);
        recorded = {};
        const TimerResolutionCalls previous = SetTimerResolutionCalls(
            {FakeBeginPeriod, FakeEndPeriod,
             hasSetProcessInformation ? FakeSetProcessInformation : nullptr});
        { const FineTimerScope scope; }
        SetTimerResolutionCalls(previous);
        EXPECT_EQ(recorded.periods,
                  (std::vector<std::pair<const char*, UINT>>{{"begin", 1}, {"end", 1}}));
        const std::vector<ULONG> optOut{4, 12, 1, 4, 0};
        EXPECT_EQ(recorded.processInformation,
                  hasSetProcessInformation ? optOut : std::vector<ULONG>{});
    }
}

struct FakeLoader final : LibraryLoadCalls {
    bool takesSearchFlag = true;
    std::wstring systemFolder = L"C:\\Windows\\system32";
    std::vector<std::pair<std::wstring, DWORD>> loads;

    HMODULE Load(const std::wstring& path, DWORD flags) override {
        loads.emplace_back(path, flags);
        return takesSearchFlag || flags != 0x800 ? reinterpret_cast<HMODULE>(0x10000000) : nullptr;
    }
    std::wstring SystemFolder() override { return systemFolder; }
};

// LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800), refused on Windows 7 without its loader update:
// then the full path in the system folder, with LOAD_WITH_ALTERED_SEARCH_PATH (0x8), and
// never the plain name, which the program's folder would answer.
TEST(WindowsClock, SystemLibraryLoadsFromTheSystemFolderOnly) {
    using Loads = std::vector<std::pair<std::wstring, DWORD>>;
    const struct {
        bool takesSearchFlag;
        const wchar_t* systemFolder;
        Loads loads;
        bool loaded;
    } cases[] = {
        {true, L"C:\\Windows\\system32", {{L"winmm.dll", 0x800}}, true},
        {false,
         L"C:\\Windows\\system32",
         {{L"winmm.dll", 0x800}, {L"C:\\Windows\\system32\\winmm.dll", 0x8}},
         true},
        {false, L"", {{L"winmm.dll", 0x800}}, false},
    };
    for (const auto& c : cases) {
        FakeLoader loader;
        loader.takesSearchFlag = c.takesSearchFlag;
        loader.systemFolder = c.systemFolder;
        EXPECT_EQ(LoadSystemLibrary(L"winmm.dll", loader) != nullptr, c.loaded);
        EXPECT_EQ(loader.loads, c.loads);
    }
}

}  // namespace
}  // namespace velloran::testing
