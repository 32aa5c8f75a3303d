#pragma once

#include <cstdint>
#include <string>

namespace velloran {

enum class PrinterLockState {
    kHeld,         // this lock now holds the printer
    kBusy,         // another transfer, in this process or another, holds it
    kUnavailable,  // the lock could not be made at all
};

// The system-wide claim of one printer, named after its driver library's file name and
// its device index: while one transfer holds it, no other VELLORAN process (command line,
// desktop program, benchmark) opens that printer. The operating system drops the claim
// when the holding process ends, however it ends, so a killed transfer leaves nothing
// behind. Other printers (another index, another library) have locks of their own.
//
// POSIX: an exclusive flock on "velloran-printer-LIBRARY-INDEX.lock" in the user's runtime
// folder, $XDG_RUNTIME_DIR; where that is unset (sudo -u, containers), in
// /tmp/velloran-UID, a folder of the user's own that nobody else may enter. A test gives
// each case its own runtime folder to keep its locks apart.
// Windows: a named mutex "Global\velloran-printer-LIBRARY-INDEX", owned by the holding
// thread; the Global namespace makes it one lock across log-on sessions, and a mutex
// that another user's session created and ours may not open counts as busy. Tests that
// run side by side in one system set VELLORAN_LOCK_SCOPE, which is appended to the name.
class PrinterLock {
  public:
    PrinterLock() = default;
    ~PrinterLock() { Release(); }
    PrinterLock(const PrinterLock&) = delete;
    PrinterLock& operator=(const PrinterLock&) = delete;

    // Takes the lock without waiting; a lock already held is released first. On Windows
    // the thread that takes it releases it.
    [[nodiscard]] PrinterLockState TryAcquire(const std::string& libraryFile, int32_t deviceIndex);
    void Release();
    bool IsHeld() const { return handle_ != kNone; }

  private:
    static constexpr intptr_t kNone = -1;
    intptr_t handle_ = kNone;
    std::string name_;
};

// Whether some transfer holds the lock of that printer now. Takes nothing and never gets
// in the way of a transfer that takes the lock meanwhile.
bool PrinterLockTaken(const std::string& libraryFile, int32_t deviceIndex);

}  // namespace velloran
