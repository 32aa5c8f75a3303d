#include "jobs/transfer_session.h"

#include "jobs/dispatcher.h"
#include "jobs/string_table.h"
#include "jobs/transfer_context.h"

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

namespace {

int Open(CDeviceLink& link, const std::optional<int32_t>& deviceIndex) {
    return deviceIndex ? link.ConnectAt(*deviceIndex) : link.Connect();
}

}  // namespace

Outcome RunTransfer(const TransferRequest& request, ProgressSink& progress,
                    const TransferEnvironment& environment, const TransferOptions& options) {
    AwaitedOutcome outcome;
    Outcome result;
    {
        TransferContext context(*environment.loader, *environment.clock);
        context.modelIndex = request.modelIndex;
        context.direction = request.direction;
        context.filePath = request.filePath;
        context.progressBar = &progress;
        context.outcomeSink = &outcome;
        context.receiveSink = options.receiveSink;
        context.deviceLink.observer = options.observer;
        const uint32_t connectFailure = context.IsSend() ? IDS_SEND_FAILED : IDS_RECEIVE_FAILED;
        if (context.deviceLink.Bind(static_cast<uint32_t>(request.modelIndex)) == 0 ||
            Open(context.deviceLink, options.deviceIndex) == 0) {
            outcome.Error(connectFailure, kNoDetail);
        } else {
            OnBkupStart(context, *environment.starter);
        }
        result = outcome.Wait();
        if (context.threadHandle.joinable()) {
            context.threadHandle.join();
        }
        context.deviceLink.Release();
        context.deviceLink.Unbind();
    }
    return result;
}

}  // namespace velloran
