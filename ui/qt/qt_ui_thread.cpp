#include "ui/qt/qt_ui_thread.h"

#include <QMetaObject>
#include <QThread>

namespace velloran {

QtUiThread::~QtUiThread() {
    std::lock_guard<std::mutex> senderReturned(handover_->sending);
}

void QtUiThread::Send(const std::function<void()>& call) {
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    // Our own reference: once the call has run, this object may be gone.
    const std::shared_ptr<Handover> handover = handover_;
    std::lock_guard<std::mutex> oneSender(handover->sending);
    {
        std::lock_guard<std::mutex> lock(handover->pending);
        handover->call = &call;
    }
    QMetaObject::invokeMethod(this, "RunPending", Qt::BlockingQueuedConnection);
    std::lock_guard<std::mutex> lock(handover->pending);  // after everything RunPending did
    handover->call = nullptr;
}

void QtUiThread::RunPending() {
    const std::function<void()>* call = nullptr;
    {
        std::lock_guard<std::mutex> lock(handover_->pending);
        call = handover_->call;
    }
    if (call != nullptr) {
        (*call)();
    }
    std::lock_guard<std::mutex> publish(handover_->pending);
}

}  // namespace velloran
