#include "sim/sim_session.h"

#include <algorithm>

namespace velloran::sim {
namespace {

bool IsReadRequest(FrameKind kind) {
    return kind == FrameKind::kRead8 || kind == FrameKind::kRead64;
}

}  // namespace

Session::Session(std::span<const ModelId> served, const Settings& settings, std::string stateFolder,
                 uint32_t memorySlot)
    : served_(served),
      settings_(settings),
      store_(std::move(stateFolder), static_cast<uint8_t>(memorySlot)),
      replies_({settings.lateReads, settings.padReads, settings.splitBytes}),
      log_(settings.logPath) {}

uint32_t Session::Write(std::span<const uint8_t> bytes) {
    uint32_t exchange = ++exchanges_;
    if (exchange == settings_.failWrite) {
        return kCallFailed;
    }
    log_.Record(bytes);
    if (IsSilent(exchange)) {
        replies_.Clear();
        return kCallOk;
    }
    Frame frame = ParseFrame(bytes);
    if (IsForcedRefusal(exchange, frame.kind)) {
        Enqueue({IsReadRequest(frame.kind) ? Reply::kSilence : Reply::kRefuse, {}, false});
    } else {
        Enqueue(Respond(frame));
    }
    return kCallOk;
}

uint32_t Session::Read(uint8_t* buffer, uint32_t* count) {
    if (++reads_ == settings_.failRead) {
        *count = settings_.failReadReportsByte && *count > 0 ? 1 : 0;
        return kCallFailed;
    }
    *count = replies_.Deliver(buffer, *count);
    return kCallOk;
}

bool Session::IsSilent(uint32_t exchange) const {
    return settings_.silentFrom != 0 && exchange >= settings_.silentFrom;
}

bool Session::IsForcedRefusal(uint32_t exchange, FrameKind kind) {
    uint32_t occurrence = ++kindCounts_[static_cast<size_t>(kind)];
    return exchange == settings_.refuseExchange ||
           (kind == settings_.refuseKind.kind && occurrence == settings_.refuseKind.occurrence);
}

bool Session::Serves(const ModelInfo& model) const {
    bool forcedElsewhere = settings_.forcedModel != nullptr && settings_.forcedModel != &model;
    return !forcedElsewhere && std::ranges::find(served_, model.id) != served_.end();
}

Outcome Session::Respond(const Frame& frame) {
    if (frame.kind == FrameKind::kOpen) {
        return OpenModel(frame);
    }
    Outcome outcome = protocol_.Apply(frame);
    if (outcome.committed) {
        store_.Flush();
    }
    return outcome;
}

Outcome Session::OpenModel(const Frame& frame) {
    const ModelInfo* model = FindModelBySignature(frame.payload);
    if (model == nullptr || !Serves(*model)) {
        return {Reply::kRefuse, {}, false};
    }
    protocol_.Open(store_.Acquire(*model));
    return {Reply::kAck, {}, false};
}

void Session::Enqueue(Outcome outcome) {
    switch (outcome.reply) {
        case Reply::kAck:
            replies_.PushAnswer(kAckByte);
            break;
        case Reply::kRefuse:
            replies_.PushAnswer(kRefuseByte);
            break;
        case Reply::kData:
            replies_.PushData(std::move(outcome.data));
            break;
        case Reply::kSilence:
            break;
    }
}

}  // namespace velloran::sim
