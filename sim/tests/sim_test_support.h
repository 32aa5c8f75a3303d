#pragma once

// Drives a built simulated driver library the way a host program does: loaded at run
// time from its full path, entry points resolved by name, one fresh state folder per
// test and no simulator variables left over from another test.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/driver_api.h"

namespace velloran::testing {

using Bytes = std::vector<uint8_t>;
using Signature = std::array<uint8_t, 6>;

struct Library {
    const char* path;
    const char* prefix;
};
inline const Library kHdv305{VELLORAN_SIM_HDV305_PATH, "Hdv305"};
inline const Library kHdv201{VELLORAN_SIM_HDV201_PATH, "Hdv201"};

inline constexpr Signature kSigQ30 = {0x01, 0x06, 0x01, 0x01, 0x00, 0x00};
inline constexpr Signature kSigQ20 = {0x00, 0x08, 0x09, 0x01, 0x00, 0x00};
inline constexpr Signature kSigQ10 = {0x00, 0x03, 0x09, 0x01, 0x00, 0x00};

inline constexpr uint32_t kControl = 0x10000000;
inline constexpr uint32_t kBankStart = 0x10008000;  // LM-Q20 and LM-Q10
inline constexpr uint32_t kBankLength = 0x28000;
inline constexpr uint32_t kSmallStart = 0x10F60000;  // an LM-Q30 region
inline constexpr uint32_t kSmallLength = 0x2000;
inline constexpr uint32_t kWideSetup = 0x20000;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kRefuse = 0x15;
inline constexpr uint8_t kRead8 = 0x20;
inline constexpr uint8_t kRead64 = 0x21;

Bytes OpenFrame(const Signature& signature);
Bytes AddressFrame(uint32_t address);
Bytes ControlFrame(uint8_t code);
Bytes SetupFrame(uint32_t target, uint32_t value);
Bytes DataFrame(const Bytes& payload);
// Every frame of a write of `data` to `target`, in order.
std::vector<Bytes> WriteSequence(const Signature& signature, uint32_t target, uint32_t setup,
                                 const Bytes& data);
// Distinct, non-constant test bytes.
Bytes Pattern(size_t length, uint8_t salt);

class DriverLibrary {
  public:
    explicit DriverLibrary(const Library& library);
    ~DriverLibrary();
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

#define VELLORAN_DRIVER_ENTRY(suffix) suffix##Fn suffix = nullptr;
#include "link/driver_entries.def"
#undef VELLORAN_DRIVER_ENTRY

  private:
    void* module_ = nullptr;
};

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Sets a variable for this test only; the old value comes back at tear-down.
    void SetEnv(const char* name, const std::string& value);
    std::string StatePath(const char* name) const { return (stateDir_ / name).string(); }

    // Loads `library` and starts its device at index 0.
    void Open(const Library& library = kHdv305);
    // Ends the device (persisting memory) and optionally unloads the library too.
    void Close(bool unload = false);
    DriverLibrary& Driver() { return *driver_; }
    uint32_t Handle() const { return handle_; }

    uint32_t Write(const Bytes& bytes);
    // Up to `length` reply bytes, polling until they come or the printer stays quiet.
    Bytes Collect(size_t length);
    // Sends a frame; its one-byte answer, or nothing when the printer stays quiet.
    std::optional<uint8_t> Send(const Bytes& frame);
    // Index of the first frame not answered with an ack; frames.size() when all were.
    size_t SendAll(const std::vector<Bytes>& frames);
    // `length` bytes from `start` through read requests `request`, after an open frame.
    Bytes ReadRegion(const Signature& signature, uint32_t start, uint32_t length, uint8_t request);

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnv_;
    std::filesystem::path root_;
    std::filesystem::path stateDir_;
    std::unique_ptr<DriverLibrary> driver_;
    const Library* library_ = nullptr;
    uint32_t handle_ = 0;
};

}  // namespace velloran::testing
