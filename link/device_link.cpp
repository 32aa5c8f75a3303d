#include "link/device_link.h"

#include <string>

#include "catalogue/model_catalogue.h"

namespace velloran {
namespace {

template <typename Fn>
void Resolve(LibraryLoader& loader, void* library, const std::string& prefix, const char* suffix,
             Fn& member) {
    const std::string name = prefix + suffix;
    member = reinterpret_cast<Fn>(loader.Symbol(library, name.c_str()));
}

}  // namespace

int CDeviceLink::Bind(uint32_t modelIndex) {
    Unbind();
    const ModelEntry* model = ModelAt(modelIndex);
    if (model == nullptr) {
        return 0;
    }
    libraryModule = loader_->Load(model->libraryFile);
    if (libraryModule == nullptr) {
        return 0;
    }
    const std::string prefix = model->entryPrefix;
#define VELLORAN_DRIVER_ENTRY(suffix) Resolve(*loader_, libraryModule, prefix, #suffix, suffix);
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    if (!AllEntriesResolved()) {
        Unbind();
        return 0;
    }
    return 1;
}

int CDeviceLink::Unbind() {
    if (libraryModule != nullptr) {
        loader_->Free(libraryModule);
        libraryModule = nullptr;
    }
#define VELLORAN_DRIVER_ENTRY(suffix) suffix = nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    return 1;
}

int CDeviceLink::Connect() {
    if (StartDevice == nullptr) {
        return 0;
    }
    const std::optional<int32_t> index = FirstActiveIndex();
    return index ? StartAt(*index) : 0;
}

int CDeviceLink::ConnectAt(int32_t index) {
    return StartDevice != nullptr && Answers(index) ? StartAt(index) : 0;
}

int CDeviceLink::StartAt(int32_t index) {
    return StartDevice != nullptr && StartDevice(&deviceHandle, index) == kDriverOk ? 1 : 0;
}

bool CDeviceLink::Answers(int32_t index) const {
    if (CheckActiveDevice == nullptr || index < 0 || index >= kDeviceIndexCount) {
        return false;
    }
    uint8_t scratch[kDeviceAreaLength] = {};
    return CheckActiveDevice(index, scratch) == kDriverOk;
}

std::optional<int32_t> CDeviceLink::FirstActiveIndex() const {
    for (int32_t index = 0; index < kDeviceIndexCount; ++index) {
        if (Answers(index)) {
            return index;
        }
    }
    return std::nullopt;
}

std::vector<int32_t> CDeviceLink::ActiveIndices() const {
    std::vector<int32_t> indices;
    for (int32_t index = 0; index < kDeviceIndexCount; ++index) {
        if (Answers(index)) {
            indices.push_back(index);
        }
    }
    return indices;
}

int CDeviceLink::Release() {
    if (EndDevice == nullptr) {
        return 0;
    }
    if (deviceHandle != 0) {
        EndDevice(deviceHandle);
        deviceHandle = 0;
    }
    return 1;
}

bool CDeviceLink::AllEntriesResolved() const {
    bool all = true;
#define VELLORAN_DRIVER_ENTRY(suffix) all = all && suffix != nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
    return all;
}

}  // namespace velloran
