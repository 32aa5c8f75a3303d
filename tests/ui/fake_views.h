#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/ui/fake_ui_loop.h"
#include "ui/main_view.h"
#include "ui/transfer_dlg.h"
#include "ui/transfer_view.h"
#include "ui/ui_constants.h"

namespace velloran::testing {

struct ShownBox {
    std::string text;
    std::string caption;
    uint32_t style;
};

// A progress control that counts steps and calls made off the loop thread.
class FakeProgressBar final : public ProgressSink {
  public:
    explicit FakeProgressBar(const FakeUiLoop& loop) : loop_(loop) {}
    void SetRange(uint32_t) override { Check(); }
    void SetStep(uint32_t) override { Check(); }
    void SetPosition(uint32_t) override { Check(); }
    void Step() override {
        Check();
        ++steps;
    }

    int steps = 0;
    int callsOffLoopThread = 0;

  private:
    void Check() { callsOffLoopThread += loop_.OnLoopThread() ? 0 : 1; }

    const FakeUiLoop& loop_;
};

// The transfer window without a window: it records what it shows.
class FakeTransferView final : public TransferView {
  public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetStatusText(const std::string& text) override { status = text; }
    ProgressSink& ProgressBar() override { return bar; }
    UiThread& Thread() override { return loop; }
    void EndModal() override { ++endModals; }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        boxes.push_back({text, caption, style});
        boxesDuringInit += initialising ? 1 : 0;
        if (onBox) {
            onBox();
        }
        return kAnswerOk;
    }

    // What the front end's modal run does: the initialisation sequence, then the loop
    // until the window has closed.
    bool RunModal(CTransferDlg& transfer) {
        initialising = true;
        transfer.OnInitDialog(*this);
        initialising = false;
        return loop.RunUntil([&transfer] { return transfer.IsClosed(); });
    }

    FakeUiLoop loop;
    FakeProgressBar bar{loop};
    std::string caption;
    std::string status;
    std::vector<ShownBox> boxes;
    int boxesDuringInit = 0;
    int endModals = 0;
    bool initialising = false;
    std::function<void()> onBox;
};

// What DoModal saw of one transfer window.
struct TransferRun {
    std::string filePath;
    int32_t modelIndex;
    int32_t direction;
    std::vector<ShownBox> boxes;
};

// The main window without a window: scripted answers, recorded requests.
class FakeMainView final : public MainView {
  public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetAppIcon() override { ++iconSets; }
    void SetControlText(int32_t controlId, const std::string& text) override {
        controlTexts.emplace_back(controlId, text);
    }
    void AddModel(const std::string& displayName) override { models.push_back(displayName); }
    void SetModelSelection(int32_t index) override { selection = index; }
    int32_t ModelSelection() const override { return selection; }
    std::optional<std::string> AskFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return fileAnswer;
    }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       uint32_t style) override {
        boxes.push_back({text, caption, style});
        return boxAnswer;
    }
    void DoModal(CTransferDlg& transfer) override {
        FakeTransferView window;
        window.RunModal(transfer);
        transfers.push_back({transfer.context.filePath, transfer.context.modelIndex,
                             transfer.context.direction, window.boxes});
    }

    std::optional<std::string> fileAnswer;
    int boxAnswer = kAnswerYes;

    std::string caption;
    int iconSets = 0;
    std::vector<std::pair<int32_t, std::string>> controlTexts;
    std::vector<std::string> models;
    int32_t selection = -1;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<ShownBox> boxes;
    std::vector<TransferRun> transfers;
};

}  // namespace velloran::testing
