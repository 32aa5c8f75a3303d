#include "catalogue/backup_layout.h"
#include "catalogue/little_endian.h"
#include "jobs/frames.h"
#include "jobs/jobs.h"
#include "jobs/receive_file.h"
#include "jobs/string_table.h"
#include "link/frame_exchange.h"

namespace velloran {
namespace {

// How a receive counts progress. The single-region receive steps once per 8 bytes
// whatever the block size; the multi-region receive once per 64 bytes, and with 8-byte
// blocks only when a region's offset reaches a further multiple of 64.
enum class ProgressUnit { kEightBytes, kSixtyFourBytes };

void StepForBlock(TransferContext& context, ProgressUnit unit, bool wide, uint32_t offset) {
    if (unit == ProgressUnit::kEightBytes) {
        const uint32_t steps = wide ? kWideBlock / kSmallBlock : 1;
        for (uint32_t i = 0; i < steps; ++i) {
            context.progressBar->Step();
        }
    } else if (wide || (offset % kWideBlock == 0 && offset != 0)) {
        context.progressBar->Step();
    }
}

// The context's own sink when it names one (a receive into memory), else the backup file.
ReceiveSink& SinkFor(TransferContext& context, ReceiveFile& backup) {
    return context.receiveSink != nullptr ? *context.receiveSink : backup;
}

// Opens the transfer with the OpenFrame. A refusal is reported as a failed receive with
// nothing written, and the earlier file at the path is left as it was.
bool OpenReceive(TransferContext& context) {
    const Frame open = OpenFrame(kModelCatalogue[context.modelIndex].Signature());
    if (SendFrame(context.deviceLink, *context.clock, open.data(), open.length) == 0) {
        context.outcomeSink->Error(IDS_RECEIVE_FAILED, kNoDetail);
        return false;
    }
    context.progressBar->Step();
    return true;
}

// The header goes out as its signature and its two zero bytes, in two writes.
bool WriteFileHeader(TransferContext& context, ReceiveSink& file) {
    const FileHeader header = HeaderFor(context.modelIndex);
    return file.Append(header.data(), kSignatureLength) &&
           file.Append(header.data() + kSignatureLength, kFileHeaderLength - kSignatureLength);
}

// Addresses one region, writes its record head and reads its bytes into the file.
bool ReceiveRegion(TransferContext& context, ReceiveSink& file, const MemoryRegion& region,
                   ProgressUnit unit, FailureDetail& detail) {
    const Frame address = AddressFrame(region.address);
    if (SendFrame(context.deviceLink, *context.clock, address.data(), address.length) == 0) {
        detail = kDetailRegionAddressFrame;
        return false;
    }
    context.progressBar->Step();
    // The record head goes out as its address and its length, in two writes.
    const RecordHead head = MakeRecordHead(region);
    if (!file.Append(head.data(), 4) || !file.Append(head.data() + 4, 4)) {
        return false;
    }
    const bool wide = UseWideReads(context.modelIndex, context.osVersion) == 1;
    const uint32_t blockLength = wide ? kWideBlock : kSmallBlock;
    for (uint32_t offset = 0; offset < region.length; offset += blockLength) {
        uint8_t block[kWideBlock];
        const int got = wide ? ReadBlock64(context.deviceLink, *context.clock, block)
                             : ReadBlock8(context.deviceLink, *context.clock, block);
        if (got == 0) {
            detail = wide ? kDetailRead64 : kDetailRead8;
            return false;
        }
        StepForBlock(context, unit, wide, offset);
        if (!file.Append(block, blockLength)) {
            return false;
        }
    }
    return true;
}

// Delivers the outcome of a receive whose OpenFrame was acknowledged.
void Finish(TransferContext& context, ReceiveSink& file, bool received, FailureDetail detail) {
    if (received && file.Commit()) {
        context.outcomeSink->Success();
        return;
    }
    file.Discard();
    context.outcomeSink->Error(IDS_RECEIVE_INTERRUPTED, detail);
}

// Both receives: the header, then each region the model's backup holds, in file order.
uint32_t Receive(TransferContext& context, ProgressUnit unit) {
    if (!OpenReceive(context)) {
        return 0;
    }
    ReceiveFile backup(context.filePath);
    ReceiveSink& file = SinkFor(context, backup);
    FailureDetail detail = kNoDetail;
    bool ok = WriteFileHeader(context, file);
    for (const MemoryRegion& region : ReceivedRegions(context.modelIndex)) {
        if (!ok) {
            break;
        }
        ok = ReceiveRegion(context, file, region, unit, detail);
    }
    Finish(context, file, ok, detail);
    return 0;
}

}  // namespace

uint32_t SingleRegionReceiveJob(TransferContext& context) {
    return Receive(context, ProgressUnit::kEightBytes);
}

uint32_t MultiRegionReceiveJob(TransferContext& context) {
    return Receive(context, ProgressUnit::kSixtyFourBytes);
}

}  // namespace velloran
