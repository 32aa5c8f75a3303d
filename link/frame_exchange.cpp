#include "link/frame_exchange.h"

#include <algorithm>
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

// Tells the link's observer, if any, how an exchange went.
void Report(const CDeviceLink& link, Clock& clock, ExchangeRecord& record) {
    if (link.observer != nullptr) {
        record.endMs = clock.TickMs();
        link.observer->Exchanged(record);
    }
}

int ReadBlock(const CDeviceLink& link, Clock& clock, uint8_t request, uint32_t blockLength,
              uint8_t* out) {
    ExchangeRecord record;
    record.sent = {&request, 1};
    record.startMs = clock.TickMs();
    const uint32_t start = record.startMs;
    if (!CanExchange(link) || link.UsbWrite(link.deviceHandle, &request, 1) != kDriverOk) {
        Report(link, clock, record);
        return 0;
    }
    record.written = true;
    uint8_t buffer[kWorkingBufferLength];
    uint32_t filled = 0;
    do {
        uint32_t count = 0;
        ++record.polls;
        if (PollRead(link, clock, buffer + filled, blockLength, count) == kDriverOk && count > 0) {
            filled += count;
            if (filled >= blockLength) {
                std::memcpy(out, buffer, blockLength);
                record.succeeded = true;
                break;
            }
        }
    } while (!DeadlinePassed(clock, start));
    record.received = {buffer, std::min(filled, blockLength)};
    Report(link, clock, record);
    return record.succeeded ? 1 : 0;
}

}  // namespace

int SendFrame(const CDeviceLink& link, Clock& clock, const uint8_t* frame, uint32_t length) {
    ExchangeRecord record;
    record.sent = {frame, length};
    record.startMs = clock.TickMs();
    const uint32_t start = record.startMs;
    if (!CanExchange(link) || link.UsbWrite(link.deviceHandle, frame, length) != kDriverOk) {
        Report(link, clock, record);
        return 0;
    }
    record.written = true;
    uint8_t buffer[kWorkingBufferLength];
    do {
        uint32_t count = 0;
        ++record.polls;
        const uint32_t result = PollRead(link, clock, buffer, kReplyReadCount, count);
        if (result == kDriverOk && count > 0) {
            if (buffer[0] != kIdleReplyByte) {
                record.succeeded = buffer[0] == kAckByte;
                record.received = {buffer, 1};
                break;
            }
        } else if (result != kDriverOk && count > 0) {
            break;
        }
    } while (!DeadlinePassed(clock, start));
    Report(link, clock, record);
    return record.succeeded ? 1 : 0;
}

int ReadBlock8(const CDeviceLink& link, Clock& clock, uint8_t* out) {
    return ReadBlock(link, clock, kRead8Request, kSmallBlock, out);
}

int ReadBlock64(const CDeviceLink& link, Clock& clock, uint8_t* out) {
    return ReadBlock(link, clock, kRead64Request, kWideBlock, out);
}

int UseWideReads(int32_t modelIndex, const OsVersion& version) {
    const ModelEntry* model = ModelAt(modelIndex);
    if (model == nullptr || model->series == 0 || !version.queried) {
        return 0;
    }
    // Every platform other than Windows that we run on takes 64-byte reads.
    if (!version.windows) {
        return 1;
    }
    if (version.platformId != kPlatformIdWin32Nt) {
        return 0;
    }
    return version.majorVersion >= kWideReadsMinMajorVersion ? 1 : 0;
}

}  // namespace velloran
