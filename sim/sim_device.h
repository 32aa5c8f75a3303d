#pragma once

// The simulated printer as the driver's entry points see it: at most one open device,
// identified by a non-zero handle, with every call serialised.

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "sim/sim_models.h"
#include "sim/sim_session.h"

namespace velloran::sim {

class Device {
  public:
    // `served`: the models this library stands in for; `name` labels the device area.
    Device(std::span<const ModelId> served, std::string name);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    uint32_t CheckActive(int32_t index, void* area);
    uint32_t Start(uint32_t* handle, int32_t index);
    uint32_t End(uint32_t handle);
    uint32_t Write(uint32_t handle, const void* bytes, uint32_t count);
    uint32_t Read(uint32_t handle, void* buffer, uint32_t* count);

  private:
    // The open session when `handle` is its handle, else nullptr. Caller holds mutex_.
    Session* SessionFor(uint32_t handle) const;

    std::span<const ModelId> served_;
    std::string name_;
    std::mutex mutex_;
    std::unique_ptr<Session> session_;
    uint32_t handle_ = 0;
    uint32_t starts_ = 0;
};

}  // namespace velloran::sim
