#include "jobs/transfer_session.h"

#include "catalogue/model_catalogue.h"
#include "jobs/dispatcher.h"
#include "jobs/string_table.h"

namespace velloran {

void AwaitedOutcome::Deliver(const Outcome& outcome) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++deliveries_;
    if (!outcome_) {
        outcome_ = outcome;
        delivered_.notify_all();
    }
}

Outcome AwaitedOutcome::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    delivered_.wait(lock, [this] { return outcome_.has_value(); });
    return *outcome_;
}

uint32_t AwaitedOutcome::Deliveries() {
    std::lock_guard<std::mutex> lock(mutex_);
    return deliveries_;
}

TransferSession::TransferSession(const TransferEnvironment& environment)
    : context(*environment.loader, *environment.clock), starter_(environment.starter) {}

TransferSession::~TransferSession() {
    Join();
    Release();
}

PrinterLockState PrinterHold::Take(const std::string& libraryFile, int32_t deviceIndex) {
    if (HeldIndex(libraryFile) == deviceIndex) {
        return PrinterLockState::kHeld;
    }
    libraryFile_ = libraryFile;
    deviceIndex_ = deviceIndex;
    return lock_.TryAcquire(libraryFile, deviceIndex);
}

std::optional<int32_t> PrinterHold::HeldIndex(const std::string& libraryFile) const {
    if (!lock_.IsHeld() || libraryFile != libraryFile_) {
        return std::nullopt;
    }
    return deviceIndex_;
}

std::optional<int32_t> TransferSession::ChooseDevice(const std::string& libraryFile,
                                                     std::optional<int32_t> deviceIndex) const {
    const CDeviceLink& link = context.deviceLink;
    if (const std::optional<int32_t> held = hold_->HeldIndex(libraryFile)) {
        deviceIndex = held;
    }
    if (!deviceIndex) {
        return link.FirstActiveIndex();
    }
    return link.Answers(*deviceIndex) ? deviceIndex : std::nullopt;
}

bool TransferSession::Connect(std::optional<int32_t> deviceIndex) {
    CDeviceLink& link = context.deviceLink;
    uint32_t failure = context.IsSend() ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED;
    if (link.Bind(static_cast<uint32_t>(context.modelIndex)) != 0) {
        // Bind has accepted the index, so the row is a model's.
        const std::string libraryFile = kModelCatalogue[context.modelIndex].libraryFile;
        if (const std::optional<int32_t> index = ChooseDevice(libraryFile, deviceIndex)) {
            const PrinterLockState lock = hold_->Take(libraryFile, *index);
            if (lock == PrinterLockState::kHeld && link.StartAt(*index) != 0) {
                return true;
            }
            if (lock == PrinterLockState::kBusy) {
                failure = IDS_PRINTER_BUSY;
            }
        }
    }
    context.outcomeSink->Error(failure, kNoDetail);
    return false;
}

uint32_t TransferSession::Start() {
    return OnBkupStart(context, *starter_);
}

void TransferSession::Join() {
    if (context.threadHandle.joinable()) {
        context.threadHandle.join();
    }
}

void TransferSession::Release() {
    if (released_) {
        return;
    }
    released_ = true;
    context.deviceLink.Release();
    context.deviceLink.Unbind();
    ownHold_.Release();
}

Outcome RunTransfer(const TransferRequest& request, ProgressSink& progress,
                    const TransferEnvironment& environment, const TransferOptions& options) {
    AwaitedOutcome outcome;
    TransferSession session(environment);
    session.context.modelIndex = request.modelIndex;
    session.context.direction = request.direction;
    session.context.filePath = request.filePath;
    session.context.progressBar = &progress;
    session.context.outcomeSink = &outcome;
    session.context.receiveSink = options.receiveSink;
    session.context.deviceLink.observer = options.observer;
    if (options.hold != nullptr) {
        session.ShareHold(*options.hold);
    }
    if (session.Connect(options.deviceIndex)) {
        session.Start();
    }
    return outcome.Wait();
}

}  // namespace velloran
