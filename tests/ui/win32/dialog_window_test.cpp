// The dialog layer on a real window made from template 129: ending the modal run from
// the initialisation and from a message another thread sends, the owner disabled
// meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include "res/resource.h"
#include "tests/ui/win32/win32_harness.h"
#include "ui/win32/dialog_window.h"

namespace velloran::testing {
namespace {

const UINT kEndMessage = RegisterWindowMessageW(L"VELLORAN_TEST_END");
constexpr INT_PTR kResult = 7;

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
    }

    bool endAtInit = false;
    std::function<void(ProbeDialog&)> onInit;
    RECT shownRect{};
    std::atomic<HWND> window{nullptr};
    bool shown = false;
    bool ownerEnabledDuringRun = true;
    DWORD endThreadId = 0;

  private:
    bool OnInitDialog() override {
        window = Handle();
        if (endAtInit) {
            EndModal(kResult);
        }
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
};

class DialogWindowTest : public ::testing::TestWithParam<bool> {};

// Ended from another thread, the handler runs inside the loop's wait for a posted
// message, which a sent one does not end: the run must still end at once.
TEST_P(DialogWindowTest, EndsItsRunFromTheInitialisationOrAMessageSentFromAnotherThread) {
    const bool atInit = GetParam();
    OwnerWindow owner;
    ProbeDialog dialog;
    dialog.endAtInit = atInit;
    std::thread worker([&] {
        if (!atInit && WaitUntil([&] { return dialog.window.load() != nullptr; }, 10000)) {
            SendMessageW(dialog.window, kEndMessage, 0, 0);
        }
    });
    EXPECT_EQ(dialog.DoModal(owner.handle), kResult);
    worker.join();
    EXPECT_EQ(dialog.shown, !atInit) << "ended during its initialisation it is never shown";
    if (!atInit) {
        EXPECT_EQ(dialog.endThreadId, GetCurrentThreadId());
        EXPECT_FALSE(dialog.ownerEnabledDuringRun);
    }
    EXPECT_TRUE(IsWindowEnabled(owner.handle));
    EXPECT_FALSE(IsWindow(dialog.window));
}

INSTANTIATE_TEST_SUITE_P(Ends, DialogWindowTest, ::testing::Bool());

// Template 129 sits at 0,0: the window opens centred over a visible owner, else on the
// work area, and the owner is active again once the window has gone.
TEST(DialogPlacementTest, ATemplateAtTheOriginIsCentredAndTheOwnerIsActiveAfterwards) {
    OwnerWindow owner;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT under{area.left + 40, area.top + 30, area.left + 540, area.top + 430};
    SetWindowPos(owner.handle, nullptr, under.left, under.top, 500, 400, SWP_SHOWWINDOW);
    for (const RECT& around : {area, under}) {
        ProbeDialog dialog;
        dialog.onInit = [](ProbeDialog& self) { PostMessageW(self.Handle(), kEndMessage, 0, 0); };
        dialog.DoModal(around.top == under.top ? owner.handle : nullptr);
        const RECT& r = dialog.shownRect;
        EXPECT_LE(std::abs(r.left + r.right - around.left - around.right), 1);
        EXPECT_LE(std::abs(r.top + r.bottom - around.top - around.bottom), 1);
    }
    EXPECT_EQ(GetActiveWindow(), owner.handle);
}

}  // namespace
}  // namespace velloran::testing
