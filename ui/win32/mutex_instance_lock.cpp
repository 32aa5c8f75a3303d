#include "ui/win32/mutex_instance_lock.h"

#include "ui/win32/utf8_text.h"

namespace velloran {

bool MutexInstanceLock::TryAcquire(const std::string& name) {
    const std::wstring wideName = Utf16(name);
    if (wideName.empty()) {
        return false;  // an unnamed mutex would let every instance run
    }
    const HANDLE mutex = CreateMutexW(nullptr, TRUE, wideName.c_str());
    if (mutex == nullptr) {
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    Release();
    mutex_ = mutex;
    return true;
}

void MutexInstanceLock::Release() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
        mutex_ = nullptr;
    }
}

}  // namespace velloran
