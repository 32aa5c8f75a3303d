#include "sim_test_support.h"

#include <algorithm>
#include <cstdlib>

#include "sim_test_library.h"
#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

namespace velloran::sim::test {
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

template <typename Fn>
void Resolve(void* module, const char* prefix, const char* suffix, Fn& fn) {
    fn = reinterpret_cast<Fn>(FindSymbol(module, (std::string(prefix) + suffix).c_str()));
    ASSERT_NE(fn, nullptr) << prefix << suffix;
}

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
    Bytes frame(4 + payload.size());
    frame[0] = 0x02;
    frame[1] = 0xED;
    frame[2] = static_cast<uint8_t>(payload.size());
    frame[3] = static_cast<uint8_t>(payload.size() >> 8);
    std::copy(payload.begin(), payload.end(), frame.begin() + 4);
    return frame;
}

std::vector<Bytes> WriteSequence(const Signature& signature, uint32_t target, uint32_t setup,
                                 const Bytes& data) {
    std::vector<Bytes> frames = {OpenFrame(signature),   AddressFrame(kControl),
                                 ControlFrame(0x00),     SetupFrame(target, setup),
                                 AddressFrame(kControl), ControlFrame(0x05),
                                 AddressFrame(target)};
    for (size_t at = 0; at < data.size(); at += 60) {
        size_t end = std::min(data.size(), at + 60);
        frames.push_back(DataFrame(Bytes(data.begin() + at, data.begin() + end)));
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
    Resolve(module_, library.prefix, "RegistHandle", RegistHandle);
    Resolve(module_, library.prefix, "UnregistHandle", UnregistHandle);
    Resolve(module_, library.prefix, "CheckMyDevice", CheckMyDevice);
    Resolve(module_, library.prefix, "CheckActiveDevice", CheckActiveDevice);
    Resolve(module_, library.prefix, "StartDevice", StartDevice);
    Resolve(module_, library.prefix, "EndDevice", EndDevice);
    Resolve(module_, library.prefix, "UsbOpen", UsbOpen);
    Resolve(module_, library.prefix, "UsbClose", UsbClose);
    Resolve(module_, library.prefix, "UsbWrite", UsbWrite);
    Resolve(module_, library.prefix, "UsbRead", UsbRead);
}

DriverLibrary::~DriverLibrary() {
    if (module_ != nullptr) {
        CloseLibrary(module_);
    }
}

void SimTest::SetUp() {
    root_ = velloran::testing::MakeTempFolder("velloran-sim-");
    stateDir_ = root_ / "state";
    for (const char* name : kSimVariables) {
        UnsetEnv(name);
    }
    SetEnv("VELLORAN_SIM_STATE_DIR", stateDir_.string());
}

void SimTest::TearDown() {
    Close(true);
    for (auto it = savedEnv_.rbegin(); it != savedEnv_.rend(); ++it) {
        if (it->second) {
            velloran::testing::SetEnvVar(it->first.c_str(), *it->second);
        } else {
            velloran::testing::UnsetEnvVar(it->first.c_str());
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void SimTest::Remember(const char* name) {
    const char* old = std::getenv(name);
    savedEnv_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
}

void SimTest::SetEnv(const char* name, const std::string& value) {
    Remember(name);
    velloran::testing::SetEnvVar(name, value);
}

void SimTest::UnsetEnv(const char* name) {
    Remember(name);
    velloran::testing::UnsetEnvVar(name);
}

void SimTest::Open(const Library& library, int32_t index) {
    if (!driver_ || library_ != &library) {
        driver_.reset();
        driver_ = std::make_unique<DriverLibrary>(library);
        library_ = &library;
    }
    ASSERT_NE(driver_->StartDevice, nullptr);
    ASSERT_EQ(driver_->StartDevice(&handle_, index), kDriverOk);
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

uint32_t SimTest::ReadOnce(uint32_t wanted, Bytes& into) {
    Bytes buffer(std::max<uint32_t>(wanted, 1), 0xEE);
    uint32_t count = wanted;
    uint32_t result = driver_->UsbRead(handle_, buffer.data(), &count);
    EXPECT_LE(count, wanted) << "delivered more than asked";
    if (result == kDriverOk) {
        into.insert(into.end(), buffer.begin(), buffer.begin() + std::min(count, wanted));
    }
    return result;
}

Bytes SimTest::Collect(size_t length) {
    Bytes got;
    for (int quiet = 0; got.size() < length && quiet < kQuietPolls;) {
        size_t before = got.size();
        EXPECT_EQ(ReadOnce(static_cast<uint32_t>(length - got.size()), got), kDriverOk);
        quiet = got.size() == before ? quiet + 1 : 0;
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
    size_t block = request == kRead8 ? 8 : 64;
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

}  // namespace velloran::sim::test
