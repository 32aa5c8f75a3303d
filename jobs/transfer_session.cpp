#include "jobs/transfer_session.h"

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

bool TransferSession::Connect(std::optional<int32_t> deviceIndex) {
    CDeviceLink& link = context.deviceLink;
    if (link.Bind(static_cast<uint32_t>(context.modelIndex)) != 0 &&
        (deviceIndex ? link.ConnectAt(*deviceIndex) : link.Connect()) != 0) {
        return true;
    }
    context.outcomeSink->Error(context.IsSend() ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED, kNoDetail);
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
    if (session.Connect(options.deviceIndex)) {
        session.Start();
    }
    const Outcome result = outcome.Wait();
    session.Join();
    session.Release();
    return result;
}

}  // namespace velloran
