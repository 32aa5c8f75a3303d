#include "tests/support/fake_driver.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "link/driver_api.h"

namespace velloran::testing {
namespace {

FakeDriver* g_active = nullptr;

uint32_t VELLORAN_DRIVER_CALL Unused(uint32_t) {
    return 0;
}

uint32_t VELLORAN_DRIVER_CALL CheckActive(int32_t index, void* area) {
    FakeDriver& d = FakeDriver::Active();
    d.checkedIndices.push_back(index);
    std::memset(area, 0xCC, kDeviceAreaLength);  // the library may fill the area
    return index == d.activeIndex || d.moreActive.count(index) != 0 ? 0 : 1;
}

uint32_t VELLORAN_DRIVER_CALL Start(uint32_t* handle, int32_t index) {
    FakeDriver& d = FakeDriver::Active();
    d.startIndices.push_back(index);
    *handle = 0x5A;
    return d.startResult;
}

uint32_t VELLORAN_DRIVER_CALL End(uint32_t handle) {
    FakeDriver& d = FakeDriver::Active();
    d.endedHandles.push_back(handle);
    d.onEnd();
    return 0;
}

uint32_t VELLORAN_DRIVER_CALL Write(uint32_t, const void* bytes, uint32_t count) {
    FakeDriver& d = FakeDriver::Active();
    d.writes.emplace_back(static_cast<const uint8_t*>(bytes),
                          static_cast<const uint8_t*>(bytes) + count);
    d.onWrite(d.writes.back());
    return d.writeResult;
}

uint32_t VELLORAN_DRIVER_CALL Read(uint32_t, void* buffer, uint32_t* count) {
    FakeDriver& d = FakeDriver::Active();
    d.readCountsAsked.push_back(*count);
    if (d.reads.empty()) {
        *count = 0;
        return 0;
    }
    ScriptedRead next = std::move(d.reads.front());
    d.reads.pop_front();
    const size_t n = std::min<size_t>(next.bytes.size(), *count);
    std::copy_n(next.bytes.begin(), n, static_cast<uint8_t*>(buffer));
    *count = next.reportedCount >= 0 ? static_cast<uint32_t>(next.reportedCount)
                                     : static_cast<uint32_t>(n);
    return next.result;
}

const std::map<std::string, void*>& EntryPoints() {
    static const std::map<std::string, void*> table{
        {"RegistHandle", reinterpret_cast<void*>(&Unused)},
        {"UnregistHandle", reinterpret_cast<void*>(&Unused)},
        {"CheckMyDevice", reinterpret_cast<void*>(&Unused)},
        {"CheckActiveDevice", reinterpret_cast<void*>(&CheckActive)},
        {"StartDevice", reinterpret_cast<void*>(&Start)},
        {"EndDevice", reinterpret_cast<void*>(&End)},
        {"UsbOpen", reinterpret_cast<void*>(&Unused)},
        {"UsbClose", reinterpret_cast<void*>(&Unused)},
        {"UsbWrite", reinterpret_cast<void*>(&Write)},
        {"UsbRead", reinterpret_cast<void*>(&Read)},
    };
    return table;
}

}  // namespace

FakeDriver::FakeDriver() {
    if (g_active != nullptr) {
        throw std::logic_error("only one FakeDriver at a time");
    }
    g_active = this;
}

FakeDriver::~FakeDriver() {
    g_active = nullptr;
}

FakeDriver& FakeDriver::Active() {
    return *g_active;
}

void* FakeDriver::Load(const std::string& catalogueFileName) {
    onLoad();
    loadedNames.push_back(catalogueFileName);
    loads += loadFails ? 0 : 1;
    return loadFails ? nullptr : &token_;
}

void* FakeDriver::Symbol(void* library, const char* name) {
    if (library != &token_) {
        return nullptr;
    }
    resolvedNames.emplace_back(name);
    const std::string full = name;
    const std::string prefix = full.substr(0, 6),
                      suffix = full.substr(std::min<size_t>(6, full.size()));
    const auto entry = EntryPoints().find(suffix);
    const bool known = (prefix == "Hdv305" || prefix == "Hdv201") && entry != EntryPoints().end();
    return known && missingSuffixes.count(suffix) == 0 ? entry->second : nullptr;
}

void FakeDriver::Free(void* library) {
    if (library == &token_) {
        ++frees;
    }
}

}  // namespace velloran::testing
