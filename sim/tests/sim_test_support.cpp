#include "sim_test_support.h"

#include <algorithm>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

namespace velloran::testing {
namespace {

// Every variable the simulator reads; cleared before each test.
constexpr const char* kSimVariables[] = {
    "VELLORAN_SIM_STATE_DIR",   "VELLORAN_SIM_MODEL",        "VELLORAN_SIM_ACTIVE_INDEX",
    "VELLORAN_SIM_FAIL_START",  "VELLORAN_SIM_REFUSE_FRAME", "VELLORAN_SIM_REFUSE_KIND",
    "VELLORAN_SIM_SILENT_FROM", "VELLORAN_SIM_LATE_READS",   "VELLORAN_SIM_SPLIT",
    "VELLORAN_SIM_PAD",         "VELLORAN_SIM_FAIL_READ",    "VELLORAN_SIM_FAIL_WRITE",
    "VELLORAN_SIM_LOG",
};
constexpr int kQuietPolls = 40;

void PutLe32(Bytes& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

#if defined(_WIN32)
void* OpenLibrary(const char* path) {
    return LoadLibraryA(path);
}
void* FindSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void CloseLibrary(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}
#else
void* OpenLibrary(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
void* FindSymbol(void* module, const char* name) {
    return dlsym(module, name);
}
void CloseLibrary(void* module) {
    dlclose(module);
}
#endif

}  // namespace

Bytes OpenFrame(const Signature& signature) {
    Bytes frame(16, 0x00);
    frame[0] = 0x02;
    frame[1] = 0x02;
    frame[2] = 0x04;
    std::copy(signature.begin(), signature.end(), frame.begin() + 4);
    return frame;
}

Bytes AddressFrame(uint32_t address) {
    Bytes frame = {0x02, 0xEC, 0x04, 0x00};
    PutLe32(frame, address);
    return frame;
}

Bytes ControlFrame(uint8_t code) {
    return {0x02, 0xEB, code};
}

Bytes SetupFrame(uint32_t target, uint32_t value) {
    Bytes frame = {0x02, 0xEB, 0x09, 0x08, 0x00};
    PutLe32(frame, target);
    PutLe32(frame, value);
    return frame;
}

Bytes DataFrame(const Bytes& payload) {
    Bytes frame = {0x02, 0xED, static_cast<uint8_t>(payload.size()),
                   static_cast<uint8_t>(payload.size() >> 8)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
}

std::vector<Bytes> WriteSequence(const Signature& signature, uint32_t target, uint32_t setup,
                                 const Bytes& data) {
    std::vector<Bytes> frames = {OpenFrame(signature),   AddressFrame(kControl),
                                 ControlFrame(0x00),     SetupFrame(target, setup),
                                 AddressFrame(kControl), ControlFrame(0x05),
                                 AddressFrame(target)};
    for (size_t at = 0; at < data.size(); at += 60) {
        frames.push_back(
            DataFrame(Bytes(data.begin() + at, data.begin() + std::min(data.size(), at + 60))));
    }
    frames.push_back(AddressFrame(kControl));
    frames.push_back(ControlFrame(0x07));
    return frames;
}

Bytes Pattern(size_t length, uint8_t salt) {
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 131 + (i >> 8) * 7 + salt) & 0xFF);
    }
    return bytes;
}

DriverLibrary::DriverLibrary(const Library& library) {
    module_ = OpenLibrary(library.path);
    if (module_ == nullptr) {
        ADD_FAILURE() << "cannot load " << library.path;
        return;
    }
#define VELLORAN_DRIVER_ENTRY(suffix)                                          \
    suffix = reinterpret_cast<suffix##Fn>(                                     \
        FindSymbol(module_, (std::string(library.prefix) + #suffix).c_str())); \
    EXPECT_NE(suffix, nullptr) << library.prefix << #suffix;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY
}

DriverLibrary::~DriverLibrary() {
    if (module_ != nullptr) {
        CloseLibrary(module_);
    }
}

void SimTest::SetUp() {
    root_ = MakeTempFolder("velloran-sim-");
    stateDir_ = root_ / "state";
    for (const char* name : kSimVariables) {
        const char* old = std::getenv(name);
        savedEnv_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        UnsetEnvVar(name);
    }
    SetEnv("VELLORAN_SIM_STATE_DIR", stateDir_.string());
}

void SimTest::TearDown() {
    Close(true);
    for (const auto& [name, value] : savedEnv_) {
        value ? SetEnvVar(name.c_str(), *value) : UnsetEnvVar(name.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void SimTest::SetEnv(const char* name, const std::string& value) {
    SetEnvVar(name, value);
}

void SimTest::Open(const Library& library) {
    if (!driver_ || library_ != &library) {
        driver_.reset();
        driver_ = std::make_unique<DriverLibrary>(library);
        library_ = &library;
    }
    ASSERT_NE(driver_->StartDevice, nullptr);
    ASSERT_EQ(driver_->StartDevice(&handle_, 0), kDriverOk);
    ASSERT_NE(handle_, 0u);
}

void SimTest::Close(bool unload) {
    if (driver_ && handle_ != 0) {
        EXPECT_EQ(driver_->EndDevice(handle_), kDriverOk);
    }
    handle_ = 0;
    if (unload) {
        driver_.reset();
        library_ = nullptr;
    }
}

uint32_t SimTest::Write(const Bytes& bytes) {
    return driver_->UsbWrite(handle_, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

Bytes SimTest::Collect(size_t length) {
    Bytes got;
    for (int quiet = 0; got.size() < length && quiet < kQuietPolls;) {
        Bytes buffer(length - got.size(), 0xEE);
        uint32_t count = static_cast<uint32_t>(buffer.size());
        EXPECT_EQ(driver_->UsbRead(handle_, buffer.data(), &count), kDriverOk);
        EXPECT_LE(count, buffer.size()) << "delivered more than asked";
        got.insert(got.end(), buffer.begin(),
                   buffer.begin() + std::min<size_t>(count, buffer.size()));
        quiet = count == 0 ? quiet + 1 : 0;
    }
    return got;
}

std::optional<uint8_t> SimTest::Send(const Bytes& frame) {
    EXPECT_EQ(Write(frame), kDriverOk);
    Bytes reply = Collect(1);
    return reply.empty() ? std::nullopt : std::optional<uint8_t>(reply[0]);
}

size_t SimTest::SendAll(const std::vector<Bytes>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        if (Send(frames[i]) != kAck) {
            return i;
        }
    }
    return frames.size();
}

Bytes SimTest::ReadRegion(const Signature& signature, uint32_t start, uint32_t length,
                          uint8_t request) {
    EXPECT_EQ(Send(OpenFrame(signature)), kAck);
    EXPECT_EQ(Send(AddressFrame(start)), kAck);
    const size_t block = request == kRead8 ? 8 : 64;
    Bytes all;
    for (uint32_t done = 0; done < length; done += static_cast<uint32_t>(block)) {
        EXPECT_EQ(Write(Bytes{request}), kDriverOk);
        Bytes got = Collect(block);
        if (got.size() != block) {
            ADD_FAILURE() << "short read at offset " << done;
            break;
        }
        all.insert(all.end(), got.begin(), got.end());
    }
    return all;
}

}  // namespace velloran::testing
