#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <memory>

#include "jobs/sinks.h"
#include "ui/progress_model.h"
#include "ui/qt/desktop_dialogs.h"
#include "ui/qt/qt_ui_thread.h"
#include "ui/transfer_dlg.h"
#include "ui/transfer_view.h"
#include "ui/ui_thread_sinks.h"

namespace velloran {

// The transfer window's progress control: the common control's arithmetic over a
// QProgressBar. User-interface thread only.
class QtProgressBar final : public ProgressSink {
  public:
    explicit QtProgressBar(QProgressBar& bar) : bar_(bar) {}
    void SetRange(uint32_t upper) override;
    void SetStep(uint32_t step) override { model_.SetStep(step); }
    void SetPosition(uint32_t position) override;
    void Step() override;

  private:
    void Show();

    QProgressBar& bar_;
    ProgressModel model_;
};

// The transfer window (template 129): a caption without close box, the status line and
// the progress bar. It shows one CTransferDlg and closes only when that ends it.
class TransferWindow final : public QDialog, public TransferView {
    Q_OBJECT

  public:
    TransferWindow(CTransferDlg& transfer, DesktopDialogs& dialogs, QWidget* owner);

    // Runs the initialisation sequence, then the window modally unless the sequence has
    // already ended it (a connection failure shows its box before the window appears).
    void RunModal();

    void SetCaption(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SendStart() override { transfer_.OnBkupStart(); }
    ProgressSink& WorkerProgress() override { return *workerProgress_; }
    OutcomeSink& WorkerOutcome() override { return workerOutcome_; }
    void EndModal() override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override;

  public slots:
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    CTransferDlg& transfer_;
    DesktopDialogs& dialogs_;
    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
    std::unique_ptr<QtProgressBar> progress_;
    std::unique_ptr<UiThreadProgress> workerProgress_;
    UiThreadOutcome workerOutcome_{transfer_, thread_};
    // Declared after the sinks that use it, so destroyed first: it waits for a worker
    // still returning from its last call through them.
    QtUiThread thread_;
    bool ending_ = false;
};

}  // namespace velloran
