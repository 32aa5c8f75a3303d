#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "jobs/sinks.h"
#include "jobs/transfer_session.h"
#include "ui/transfer_view.h"
#include "ui/window_input.h"

namespace velloran {

// The window of one transfer. It owns the transfer's session (the context with the device
// link, and the worker thread), opens the printer when it starts, shows the one outcome
// of the transfer and closes itself, ending the device and freeing the driver library.
// The user cannot close it. A fresh one serves each Receive or Send; the main window
// sets the file path, the model and the direction before running it.
class CTransferDlg final {
  public:
    explicit CTransferDlg(const TransferEnvironment& environment = {});
    CTransferDlg(const CTransferDlg&) = delete;
    CTransferDlg& operator=(const CTransferDlg&) = delete;

    void SetFilePath(const std::string& path) { session_.context.filePath = path; }
    void SetModelIndex(int32_t modelIndex) { session_.context.modelIndex = modelIndex; }
    void SetDirection(int32_t direction) { session_.context.direction = direction; }

    // The initialisation sequence, run by `view` before it is first shown: caption and
    // status line, Bind and Connect, then the start message to the view itself, or on a
    // connection failure outcome 117 (send) or 118 (receive). The worker reports through
    // the view's sinks. Returns true: the view sets the default focus.
    bool OnInitDialog(TransferView& view);

    // The close sequence: ends the device, frees the library and ends the modal run.
    // Runs once; the outcome handlers are its only callers.
    void OnClose();

    // The key filter: true when the input is consumed. Enter, Escape, close requests and
    // F1 are, so nothing the user does ends the window while a job runs.
    static bool PreTranslateMessage(WindowInput input);

    // The dispatcher, once, for the start message the initialisation sends; any other
    // start (a start message from outside the program) is ignored.
    uint32_t OnBkupStart();
    // Outcome handlers, on the user-interface thread: one box (caption 101, the text of
    // the outcome this transfer itself reported), then the close sequence. A call when
    // this transfer has reported nothing, or after its one box, is ignored: outcome
    // messages from outside the program end neither the window nor the job.
    uint32_t OnBkupSuccess();
    uint32_t OnBkupError(uint32_t outcomeId, FailureDetail detail);
    // Whether this transfer's outcome waits for its box.
    bool OutcomeWaiting();

    bool IsClosed() const { return closed_; }

  private:
    // The context's outcome sink: the connection, the dispatcher and the job report
    // here. The outcome is noted before it travels on through the view to the handlers,
    // which show only a noted one, and only once.
    class OwnOutcome final : public OutcomeSink {
      public:
        void Success() override;
        void Error(uint32_t outcomeId, FailureDetail detail) override;
        bool Waiting();
        std::optional<Outcome> Take();

        OutcomeSink* delivery = nullptr;  // the view's, set before anything reports

      private:
        void Note(const Outcome& outcome);

        std::mutex mutex_;
        std::optional<Outcome> noted_;
        bool taken_ = false;
    };

    void ShowOwnOutcome();

    TransferView* view_ = nullptr;
    OwnOutcome own_;
    bool startDue_ = false;
    bool closed_ = false;
    // Declared last, so destroyed first: the session joins the worker, which may still be
    // returning from its outcome call, before anything that call passed through goes.
    TransferSession session_;
};

}  // namespace velloran
