#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <set>

#include "platform/printer_lock.h"
#include "platform/wide_path_win32.h"

namespace velloran {
namespace {

// A thread that waits on a mutex it owns gets it again, so the locks this process holds
// are also listed here: a second transfer of this process is refused like any other.
std::mutex heldGuard;
std::set<std::string> heldHere;

// "Global\" puts the mutex in the one namespace that every log-on session shares
// ("Kernel object namespaces" in Microsoft's documentation), so a program of another
// session cannot open the printer either.
std::string LockName(const std::string& libraryFile, int32_t deviceIndex) {
    const char* scope = std::getenv("VELLORAN_LOCK_SCOPE");
    std::string name = "Global\\velloran-printer-";
    return name.append(libraryFile)
        .append("-")
        .append(std::to_string(deviceIndex))
        .append(scope != nullptr ? scope : "");
}

bool ListHere(const std::string& name) {
    std::lock_guard<std::mutex> lock(heldGuard);
    return heldHere.insert(name).second;
}

void UnlistHere(const std::string& name) {
    std::lock_guard<std::mutex> lock(heldGuard);
    heldHere.erase(name);
}

}  // namespace

PrinterLockState PrinterLock::TryAcquire(const std::string& libraryFile, int32_t deviceIndex) {
    Release();
    const std::string name = LockName(libraryFile, deviceIndex);
    const std::wstring wideName = WideFromUtf8(name);
    if (wideName.empty()) {
        return PrinterLockState::kUnavailable;
    }
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, wideName.c_str());
    if (mutex == nullptr) {
        // A mutex of that name made by a program of another user, whose security does
        // not let us open it ("CreateMutexW": ERROR_ACCESS_DENIED): that program holds it.
        return GetLastError() == ERROR_ACCESS_DENIED ? PrinterLockState::kBusy
                                                     : PrinterLockState::kUnavailable;
    }
    // An abandoned mutex, left by a holder that died, passes to the next taker at once.
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return waited == WAIT_TIMEOUT ? PrinterLockState::kBusy : PrinterLockState::kUnavailable;
    }
    if (!ListHere(name)) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return PrinterLockState::kBusy;
    }
    handle_ = reinterpret_cast<intptr_t>(mutex);
    name_ = name;
    return PrinterLockState::kHeld;
}

void PrinterLock::Release() {
    if (handle_ == kNone) {
        return;
    }
    const HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    UnlistHere(name_);
    handle_ = kNone;
    name_.clear();
}

bool PrinterLockTaken(const std::string& libraryFile, int32_t deviceIndex) {
    const std::wstring wideName = WideFromUtf8(LockName(libraryFile, deviceIndex));
    // The mutex exists only while a holder, or a transfer trying it this moment, keeps
    // a handle on it; opening it takes nothing from either.
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, wideName.c_str());
    if (mutex == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    CloseHandle(mutex);
    return true;
}

}  // namespace velloran
