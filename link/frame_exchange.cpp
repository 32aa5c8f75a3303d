#include "link/frame_exchange.h"

#include <cstring>

#include "catalogue/model_catalogue.h"

namespace velloran {
namespace {

constexpr uint32_t kWorkingBufferLength = 128;
constexpr uint32_t kWideReadsMinMajorVersion = 5;

bool CanExchange(const CDeviceLink& link) {
    return link.UsbWrite != nullptr && link.deviceHandle != 0;
}

bool DeadlinePassed(Clock& clock, uint32_t start) {
    return static_cast<uint32_t>(clock.TickMs() - start) >= kExchangeDeadlineMs;
}

// One poll: pause, then read at most `wanted` bytes into `into`. Returns the driver's
// result; a count above `wanted` is a driver fault and reported as a failed read.
uint32_t PollRead(const CDeviceLink& link, Clock& clock, uint8_t* into, uint32_t wanted,
                  uint32_t& count) {
    clock.SleepMs(kPollIntervalMs);
    count = wanted;
    const uint32_t result = link.UsbRead(link.deviceHandle, into, &count);
    if (count > wanted) {
        return result == kDriverOk ? ~kDriverOk : result;
    }
    return result;
}

int ReadBlock(const CDeviceLink& link, Clock& clock, uint8_t request, uint32_t blockLength,
              uint8_t* out) {
    const uint32_t start = clock.TickMs();
    if (!CanExchange(link) || link.UsbWrite(link.deviceHandle, &request, 1) != kDriverOk) {
        return 0;
    }
    uint8_t buffer[kWorkingBufferLength];
    uint32_t filled = 0;
    do {
        uint32_t count = 0;
        if (PollRead(link, clock, buffer + filled, blockLength, count) == kDriverOk && count > 0) {
            filled += count;
            if (filled >= blockLength) {
                std::memcpy(out, buffer, blockLength);
                return 1;
            }
        }
    } while (!DeadlinePassed(clock, start));
    return 0;
}

}  // namespace

int SendFrame(const CDeviceLink& link, Clock& clock, const uint8_t* frame, uint32_t length) {
    const uint32_t start = clock.TickMs();
    if (!CanExchange(link) || link.UsbWrite(link.deviceHandle, frame, length) != kDriverOk) {
        return 0;
    }
    uint8_t buffer[kWorkingBufferLength];
    do {
        uint32_t count = 0;
        const uint32_t result = PollRead(link, clock, buffer, kReplyReadCount, count);
        if (result == kDriverOk && count > 0) {
            if (buffer[0] != kIdleReplyByte) {
                return buffer[0] == kAckByte ? 1 : 0;
            }
        } else if (result != kDriverOk && count > 0) {
            return 0;
        }
    } while (!DeadlinePassed(clock, start));
    return 0;
}

int ReadBlock8(const CDeviceLink& link, Clock& clock, uint8_t* out) {
    return ReadBlock(link, clock, kRead8Request, kSmallBlock, out);
}

int ReadBlock64(const CDeviceLink& link, Clock& clock, uint8_t* out) {
    return ReadBlock(link, clock, kRead64Request, kWideBlock, out);
}

int UseWideReads(int32_t modelIndex, const OsVersion& version) {
    const ModelEntry* model = ModelAt(modelIndex);
    if (model == nullptr || model->series == 0 || !version.queried ||
        version.platformId != kPlatformIdWin32Nt) {
        return 0;
    }
    return version.majorVersion >= kWideReadsMinMajorVersion ? 1 : 0;
}

int UseWideReads(int32_t modelIndex) {
    return UseWideReads(modelIndex, QueryOsVersion());
}

}  // namespace velloran
