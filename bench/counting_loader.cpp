#include "bench/counting_loader.h"

#include <atomic>
#include <string_view>

#include "link/driver_api.h"

namespace velloran::bench {
namespace {

constexpr std::string_view kWriteSuffix = "UsbWrite";
constexpr std::string_view kReadSuffix = "UsbRead";

// Written while binding, before the worker starts; read by the worker.
UsbWriteFn g_realWrite = nullptr;
UsbReadFn g_realRead = nullptr;
std::atomic<uint64_t> g_writes{0};
std::atomic<uint64_t> g_reads{0};

uint32_t VELLORAN_DRIVER_CALL CountedWrite(uint32_t handle, const void* bytes, uint32_t count) {
    g_writes.fetch_add(1, std::memory_order_relaxed);
    return g_realWrite(handle, bytes, count);
}

uint32_t VELLORAN_DRIVER_CALL CountedRead(uint32_t handle, void* buffer, uint32_t* count) {
    g_reads.fetch_add(1, std::memory_order_relaxed);
    return g_realRead(handle, buffer, count);
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

void* CountingLoader::Load(const std::string& catalogueFileName) {
    return inner_.Load(catalogueFileName);
}

void* CountingLoader::Symbol(void* library, const char* name) {
    void* entry = inner_.Symbol(library, name);
    if (entry == nullptr) {
        return nullptr;
    }
    if (EndsWith(name, kWriteSuffix)) {
        g_realWrite = reinterpret_cast<UsbWriteFn>(entry);
        return reinterpret_cast<void*>(&CountedWrite);
    }
    if (EndsWith(name, kReadSuffix)) {
        g_realRead = reinterpret_cast<UsbReadFn>(entry);
        return reinterpret_cast<void*>(&CountedRead);
    }
    return entry;
}

void CountingLoader::Free(void* library) {
    inner_.Free(library);
}

void CountingLoader::ResetCounts() {
    g_writes = 0;
    g_reads = 0;
}

DriverCallCounts CountingLoader::Counts() {
    return {g_writes.load(), g_reads.load()};
}

}  // namespace velloran::bench
