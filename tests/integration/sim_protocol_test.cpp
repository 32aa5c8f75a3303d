// The simulated printer library, loaded by plain name through the production loader (the
// test's library search path points at it) and driven frame by frame: which frames it
// takes in which order, the faults the other suites ask it for, and the state file its
// memory lives in. That it takes every job's frames and keeps what they wrote shows in the
// soak and the program's own end-to-end run.
#include <gtest/gtest.h>

#include <filesystem>

#include "jobs/frames.h"
#include "jobs/write_sequence.h"
#include "link/frame_exchange.h"
#include "tests/support/backup_builder.h"
#include "tests/support/fake_clock.h"
#include "tests/support/sim_environment.h"

namespace velloran::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Raw(const Frame& frame) {
    return {frame.bytes.begin(), frame.bytes.begin() + frame.length};
}

// Every frame of a write of `data` (pattern bytes) at `target`, in order.
std::vector<Bytes> WriteFrames(int32_t model, uint32_t target, uint32_t setup, const Bytes& data) {
    const WriteSequence sequence(kModelCatalogue[model].Signature(), target, setup,
                                 static_cast<uint32_t>(data.size()));
    std::vector<Bytes> frames;
    for (uint32_t i = 0; i < sequence.FrameCount(); ++i) {
        const WriteStep step = sequence.StepAt(i);
        frames.push_back(step.isData ? Raw(DataFrame(&data[step.dataOffset], step.dataLength))
                                     : Raw(step.frame));
    }
    return frames;
}

Bytes Pattern(uint32_t length, uint32_t seed) {
    Bytes bytes(length);
    for (uint32_t i = 0; i < length; ++i) {
        bytes[i] = PatternByte(i, seed);
    }
    return bytes;
}

// One session with the printer of catalogue row `model`: bound, connected, released.
struct Session {
    explicit Session(int32_t model, int32_t index = -1) {
        EXPECT_EQ(link.Bind(static_cast<uint32_t>(model)), 1);
        EXPECT_EQ(index < 0 ? link.Connect() : link.ConnectAt(index), 1);
    }
    ~Session() { link.Release(); }
    // Index of the first frame not acknowledged; frames.size() when all were.
    size_t SendAll(const std::vector<Bytes>& frames) {
        for (size_t i = 0; i < frames.size(); ++i) {
            if (SendFrame(link, clock, frames[i].data(), static_cast<uint32_t>(frames[i].size())) !=
                1) {
                return i;
            }
        }
        return frames.size();
    }

    CDeviceLink link;
    FakeClock clock;
};

// The first `count` frames of a 120-byte write to an LM-Q30 region, then `then`.
std::vector<Bytes> Prefix(size_t count, const Bytes& then, uint32_t length = 120) {
    auto frames = WriteFrames(kQ30, 0x10F60000, 0x20000, Pattern(length, 1));
    frames.resize(count);
    frames.push_back(then);
    return frames;
}

struct RefusalCase {
    const char* name;
    int32_t model;
    std::vector<Bytes> frames;  // all acknowledged but the last
};

class SimRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SimRefusal, AcknowledgesAllButTheLastFrame) {
    SimEnvironment sim;
    Session session(GetParam().model);
    EXPECT_EQ(session.SendAll(GetParam().frames), GetParam().frames.size() - 1);
}

const Bytes kQ30Open = Raw(OpenFrame(kModelCatalogue[kQ30].Signature()));
const Bytes kQ20Open = Raw(OpenFrame(kModelCatalogue[kQ20].Signature()));
const Bytes kQ10Open = Raw(OpenFrame(kModelCatalogue[kQ10].Signature()));

INSTANTIATE_TEST_SUITE_P(
    Table, SimRefusal,
    ::testing::Values(
        RefusalCase{"AddressBeforeOpen", kQ30, {Raw(AddressFrame(0x10000000))}},
        RefusalCase{"FinishWithoutWrite", kQ30, Prefix(2, Raw(ControlFrame(0x07)))},
        RefusalCase{"SetupBeforeBegin", kQ30, Prefix(2, Raw(SetupFrame(0x10F60000, 0x20000)))},
        RefusalCase{"SetupTargetOutside", kQ30, Prefix(3, Raw(SetupFrame(0x10E65000, 0x20000)))},
        RefusalCase{"TargetNotTheSetOne", kQ30, Prefix(6, Raw(AddressFrame(0x10F60100)))},
        RefusalCase{"DataAfterAShortFrame", kQ30, Prefix(9, Prefix(8, {}, 70)[7], 70)},
        RefusalCase{"UnknownControlCode", kQ30, Prefix(2, Raw(ControlFrame(0x03)))},
        RefusalCase{"DataCountWrong", kQ30, Prefix(7, {0x02, 0xED, 0x05, 0x00, 1, 2, 3, 4})},
        RefusalCase{"Q20OutsideItsBank", kQ20, {kQ20Open, Raw(AddressFrame(0x10030000))}},
        RefusalCase{"Q30InTheBank", kQ30, {kQ30Open, Raw(AddressFrame(0x10008000))}},
        RefusalCase{"Hdv305RefusesQ10", kQ30, {kQ10Open}},
        RefusalCase{"Hdv201RefusesQ20", kQ10, {kQ20Open}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FaultCase {
    const char* name;
    const char* variable;
    const char* value;
    size_t refused;  // the first frame of a 120-byte write not acknowledged
};

class SimFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SimFault, StopsTheWriteAtTheChosenFrame) {
    SimEnvironment sim({{GetParam().variable, GetParam().value}});
    Session session(kQ30);
    EXPECT_EQ(session.SendAll(WriteFrames(kQ30, 0x10F60000, 0x20000, Pattern(120, 7))),
              GetParam().refused);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimFault,
    ::testing::Values(FaultCase{"Frame9", "VELLORAN_SIM_REFUSE_FRAME", "9", 8},
                      FaultCase{"Setup", "VELLORAN_SIM_REFUSE_KIND", "setup", 3},
                      FaultCase{"SecondData", "VELLORAN_SIM_REFUSE_KIND", "data:2", 8},
                      FaultCase{"Finish", "VELLORAN_SIM_REFUSE_KIND", "control07", 10},
                      FaultCase{"SilentFrom5", "VELLORAN_SIM_SILENT_FROM", "5", 4},
                      FaultCase{"ForcedOtherModel", "VELLORAN_SIM_MODEL", "LM-Q20", 0},
                      FaultCase{"InvalidValueIgnored", "VELLORAN_SIM_REFUSE_FRAME", "2x", 11}),
    [](const auto& info) { return std::string(info.param.name); });

// A printer's memory reaches its state file at the commit; one device runs at a time;
// printers listed at 0, 5 and 127 answer there, each but 0 with a folder of its own.
TEST(SimState, MemoryIsWrittenAtTheCommitAndOneDeviceRunsAtATime) {
    SimEnvironment sim({{"VELLORAN_SIM_DEVICES", "0,5,127"}});
    Session session(kQ30, 127);
    EXPECT_EQ(session.link.ActiveIndices(), (std::vector<int32_t>{0, 5, 127}));
    uint32_t second = 0;
    EXPECT_NE(session.link.StartDevice(&second, 0), kDriverOk);
    auto frames = WriteFrames(kQ30, 0x10F60000, 0x20000, Pattern(120, 2));
    const Bytes commit = frames.back();
    frames.pop_back();
    ASSERT_EQ(session.SendAll(frames), frames.size());
    const std::filesystem::path state = sim.State().Path() / "device-127" / "lmq30.mem";
    EXPECT_FALSE(std::filesystem::exists(state)) << "before the commit";
    ASSERT_EQ(session.SendAll({commit}), 1u);
    EXPECT_EQ(std::filesystem::file_size(state), 0x2D800u);
    EXPECT_FALSE(std::filesystem::exists(sim.State().Path() / "lmq30.mem"));
}

}  // namespace
}  // namespace velloran::testing
