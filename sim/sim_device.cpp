#include "sim/sim_device.h"

#include <algorithm>
#include <cstring>

#include "link/driver_api.h"
#include "sim/sim_platform.h"
#include "sim/sim_settings.h"

namespace velloran::sim {

Device::Device(std::span<const ModelId> served, std::string name)
    : served_(served), name_(std::move(name)) {}

// A library unloaded with its device still open keeps what was written, as the
// printer itself would.
Device::~Device() {
    if (session_) {
        session_->Close();
    }
}

uint32_t Device::CheckActive(int32_t index, void* area) {
    if (!AnswersAt(index)) {
        return kCallFailed;
    }
    if (area != nullptr) {
        std::string label = name_ + "#" + std::to_string(index);
        size_t length = std::min<size_t>(label.size(), kDeviceAreaLength - 1);
        std::memset(area, 0, kDeviceAreaLength);
        std::memcpy(area, label.data(), length);
    }
    return kCallOk;
}

uint32_t Device::Start(uint32_t* handle, int32_t index) {
    std::lock_guard lock(mutex_);
    Settings settings = ReadSettings();
    if (handle == nullptr || session_ || settings.failStart || !AnswersAt(index)) {
        return kCallFailed;
    }
    const uint32_t slot = MemorySlotOf(index);
    std::string folder = ResolveStateFolder();
    if (slot != 0 && !folder.empty()) {
        folder = platform::JoinPath(folder, kDeviceFolderPrefix + std::to_string(slot));
    }
    session_ = std::make_unique<Session>(served_, settings, std::move(folder), slot);
    handle_ = kHandleBase + ++starts_;
    *handle = handle_;
    return kCallOk;
}

uint32_t Device::End(uint32_t handle) {
    std::lock_guard lock(mutex_);
    Session* session = SessionFor(handle);
    if (session == nullptr) {
        return kCallFailed;
    }
    session->Close();
    session_.reset();
    handle_ = 0;
    return kCallOk;
}

uint32_t Device::Write(uint32_t handle, const void* bytes, uint32_t count) {
    std::lock_guard lock(mutex_);
    Session* session = SessionFor(handle);
    if (session == nullptr || bytes == nullptr || count == 0 || count > kMaxWriteCount) {
        return kCallFailed;
    }
    return session->Write(std::span(static_cast<const uint8_t*>(bytes), count));
}

uint32_t Device::Read(uint32_t handle, void* buffer, uint32_t* count) {
    std::lock_guard lock(mutex_);
    Session* session = SessionFor(handle);
    if (session == nullptr || buffer == nullptr || count == nullptr) {
        return kCallFailed;
    }
    return session->Read(static_cast<uint8_t*>(buffer), count);
}

Session* Device::SessionFor(uint32_t handle) const {
    return handle != 0 && handle == handle_ ? session_.get() : nullptr;
}

}  // namespace velloran::sim
