#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

#include "ui/ui_thread.h"

namespace velloran {

// Runs calls on the thread that made this object (the user-interface thread). From
// another thread the call is queued there with Qt::BlockingQueuedConnection and the
// caller blocks until it has run; on that thread itself it runs at once.
//
// A worker's last call (a transfer's outcome) closes the window that owns this object,
// so the object may be destroyed while that worker is still returning from Send: the
// destructor waits until it has. The call is also handed over under mutexes of our own,
// so the sanitizers, which cannot see inside the toolkit, see the order of both threads'
// memory accesses.
class QtUiThread final : public QObject, public UiThread {
    Q_OBJECT

  public:
    QtUiThread() = default;
    ~QtUiThread() override;

    void Send(const std::function<void()>& call) override;

  private slots:
    void RunPending();

  private:
    struct Handover {
        std::mutex sending;  // held by a sender for the whole of Send
        std::mutex pending;  // guards `call`
        const std::function<void()>* call = nullptr;
    };

    std::shared_ptr<Handover> handover_ = std::make_shared<Handover>();
};

}  // namespace velloran
