// The dialog layer on a real window made from template 129: the modal run, ending it
// from the initialisation and from a message another thread sends, the owner disabled
// meanwhile, the filter ahead of the dialog manager and the results handlers give back.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "res/resource.h"
#include "tests/ui/win32/message_window.h"
#include "tests/ui/win32/window_probe.h"
#include "ui/win32/dialog_window.h"

namespace velloran::testing {
namespace {

const UINT kEndMessage = RegisterWindowMessageW(L"VELLORAN_TEST_END");
const UINT kAnswerMessage = RegisterWindowMessageW(L"VELLORAN_TEST_ANSWER");
constexpr INT_PTR kResult = 7;
constexpr LRESULT kAnswer = 77;
constexpr LRESULT kIcon = 1234;
constexpr DWORD kTimeoutMs = 10000;

class ProbeDialog final : public DialogWindow {
  public:
    ProbeDialog() : DialogWindow(IDD_TRANSFER) {
        OnMessage(WM_SHOWWINDOW, [this](WPARAM show, LPARAM) {
            shown |= show != 0;
            GetWindowRect(Handle(), &shownRect);
            return std::nullopt;
        });
        OnMessage(kEndMessage, [this](WPARAM, LPARAM) {
            endThreadId = GetCurrentThreadId();
            ownerEnabledDuringRun = IsWindowEnabled(GetWindow(Handle(), GW_OWNER)) != 0;
            EndModal(kResult);
            return 0;
        });
        OnMessage(kAnswerMessage, [](WPARAM, LPARAM) { return kAnswer; });
        OnMessage(WM_QUERYDRAGICON, [](WPARAM, LPARAM) { return kIcon; });
        OnCommand(IDCANCEL, BN_CLICKED, [this] { ++cancels; });
    }

    std::function<void(ProbeDialog&)> onInit;
    std::atomic<HWND> window{nullptr};
    bool shown = false;
    RECT shownRect{};
    bool ownerEnabledDuringRun = true;
    DWORD endThreadId = 0;
    int cancels = 0;
    int filtered = 0;

  private:
    bool OnInitDialog() override {
        window = Handle();
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
    bool PreTranslateMessage(const MSG& msg) override {
        const bool escape = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
        filtered += escape ? 1 : 0;
        return escape;
    }
};

TEST(DialogWindowTest, EndedDuringItsInitialisationItIsNeverShown) {
    MessageWindow owner;
    ProbeDialog dialog;
    dialog.onInit = [](ProbeDialog& self) { self.EndModal(kResult); };
    EXPECT_EQ(dialog.DoModal(owner.Handle()), kResult);
    EXPECT_FALSE(dialog.shown);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(dialog.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(dialog.window));
}

// The handler runs inside the loop's wait for a posted message, which a sent one does
// not end: the run must still end at once.
TEST(DialogWindowTest, AHandlerOfAMessageSentFromAnotherThreadEndsTheRun) {
    MessageWindow owner;
    ProbeDialog dialog;
    LRESULT answer = 0;
    std::thread worker([&] {
        if (!WaitUntil([&] { return dialog.window.load() != nullptr; }, kTimeoutMs)) {
            return;  // no window: DoModal has failed already
        }
        answer = SendMessageW(dialog.window, kAnswerMessage, 0, 0);
        SendMessageW(dialog.window, kEndMessage, 0, 0);
    });
    const INT_PTR result = dialog.DoModal(owner.Handle());
    worker.join();
    EXPECT_EQ(result, kResult);
    EXPECT_EQ(answer, kAnswer);
    EXPECT_TRUE(dialog.shown);
    EXPECT_EQ(dialog.endThreadId, GetCurrentThreadId());
    EXPECT_FALSE(dialog.ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(DialogWindowTest, TheFilterSeesQueuedInputBeforeTheDialogManager) {
    ProbeDialog dialog;
    dialog.onInit = [](ProbeDialog& self) {
        PostMessageW(self.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);  // would be IDCANCEL
        PostMessageW(self.Handle(), kEndMessage, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(nullptr), kResult);
    EXPECT_EQ(dialog.filtered, 1);
    EXPECT_EQ(dialog.cancels, 0);
}

TEST(DialogWindowTest, HandlersResultsReachTheSenderAndUnhandledMessagesTheDefault) {
    ProbeDialog dialog;
    LRESULT icon = 0, answer = 0, unhandled = -1;
    dialog.onInit = [&](ProbeDialog& self) {
        icon = SendMessageW(self.Handle(), WM_QUERYDRAGICON, 0, 0);
        answer = SendMessageW(self.Handle(), kAnswerMessage, 0, 0);
        unhandled =
            SendMessageW(self.Handle(), RegisterWindowMessageW(L"VELLORAN_TEST_NONE"), 0, 0);
        self.EndModal(kResult);
    };
    dialog.DoModal(nullptr);
    EXPECT_EQ(icon, kIcon);
    EXPECT_EQ(answer, kAnswer);
    EXPECT_EQ(unhandled, 0);
}

// Template 129 sits at 0,0: the window opens centred over a visible owner, else on the
// work area, and the owner is active again once the window has gone.
TEST(DialogWindowTest, ATemplateAtTheOriginIsCentredAndTheOwnerIsActiveAfterwards) {
    MessageWindow owner;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT under{area.left + 40, area.top + 30, area.left + 540, area.top + 430};
    SetWindowPos(owner.Handle(), nullptr, under.left, under.top, 500, 400, SWP_SHOWWINDOW);
    for (const RECT& around : {area, under}) {
        ProbeDialog dialog;
        dialog.onInit = [](ProbeDialog& self) { PostMessageW(self.Handle(), kEndMessage, 0, 0); };
        dialog.DoModal(around.top == under.top ? owner.Handle() : nullptr);
        const RECT& r = dialog.shownRect;
        EXPECT_LE(std::abs(r.left + r.right - around.left - around.right), 1);
        EXPECT_LE(std::abs(r.top + r.bottom - around.top - around.bottom), 1);
    }
    EXPECT_EQ(GetActiveWindow(), owner.Handle());
}

}  // namespace
}  // namespace velloran::testing
