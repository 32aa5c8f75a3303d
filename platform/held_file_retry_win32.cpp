#include "platform/held_file_retry_win32.h"

#include <atomic>

#include "platform/exclusive_file.h"
#include "platform/wide_path_win32.h"

namespace velloran {
namespace {

constexpr uint32_t kRetryMs = 2000;
constexpr uint32_t kPauseMs = 50;

std::atomic<Clock*> retryClock{nullptr};

Clock& RetryClock() {
    Clock* clock = retryClock.load();
    return clock != nullptr ? *clock : SystemClock();
}

bool IsBriefHold(DWORD error, const std::string& path, bool forWriting) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        return true;
    }
    if (error != ERROR_ACCESS_DENIED) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    const DWORD lasting = FILE_ATTRIBUTE_DIRECTORY | (forWriting ? FILE_ATTRIBUTE_READONLY : 0);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & lasting) == 0;
}

}  // namespace

Clock& SetFileRetryClock(Clock& clock) {
    Clock* previous = retryClock.exchange(&clock);
    return previous != nullptr ? *previous : SystemClock();
}

bool RetryWhileHeld(const std::function<bool()>& attempt, const std::string& path,
                    bool forWriting) {
    Clock& clock = RetryClock();
    const uint32_t start = clock.TickMs();
    while (!attempt()) {
        const DWORD error = GetLastError();
        if (!IsBriefHold(error, path, forWriting) || clock.TickMs() - start >= kRetryMs) {
            SetLastError(error);
            return false;
        }
        clock.SleepMs(kPauseMs);
    }
    return true;
}

}  // namespace velloran
