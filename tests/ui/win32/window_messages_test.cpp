// What the worker sends the transfer window, on real windows: the registered messages,
// the progress control's messages and the outcome, each handled on the window's thread
// before the sender goes on; and calls carried to the window's thread.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, on which it builds.
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "tests/ui/win32/message_window.h"
#include "ui/win32/bkup_messages.h"
#include "ui/win32/message_outcome.h"
#include "ui/win32/progress_control.h"
#include "ui/win32/window_thread.h"

namespace velloran::testing {
namespace {

constexpr DWORD kTimeoutMs = 10000;

TEST(BkupMessagesTest, AreTheSystemsNumbersForTheirNamesAndDistinct) {
    const BkupMessages& messages = RegisteredMessages();
    EXPECT_EQ(messages.start, RegisterWindowMessageW(L"WM_BKUP_START"));
    EXPECT_EQ(messages.success, RegisterWindowMessageW(L"WM_BKUP_SUCCESS"));
    EXPECT_EQ(messages.error, RegisterWindowMessageW(L"WM_BKUP_ERROR"));
    for (const UINT message : {messages.start, messages.success, messages.error, messages.uiCall}) {
        EXPECT_GE(message, 0xC000u);
    }
    EXPECT_NE(messages.start, messages.success);
    EXPECT_NE(messages.success, messages.error);
    EXPECT_NE(messages.error, messages.uiCall);
    EXPECT_EQ(&RegisteredMessages(), &messages);
}

class ProgressControlTest : public ::testing::Test {
  protected:
    ProgressControlTest() {
        bar = CreateWindowExW(0, L"msctls_progress32", L"", WS_CHILD | WS_BORDER, 0, 0, 100, 10,
                              owner.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        progress.Attach(bar);
    }
    LRESULT Position() const { return SendMessageW(bar, PBM_GETPOS, 0, 0); }
    LRESULT Upper() const { return SendMessageW(bar, PBM_GETRANGE, FALSE, 0); }

    MessageWindow owner;
    HWND bar = nullptr;
    ProgressControl progress;
};

TEST_F(ProgressControlTest, EachStepFromAWorkerHasReachedTheControlWhenItReturns) {
    constexpr int kSteps = 200;
    progress.SetRange(kSteps);
    progress.SetStep(1);
    progress.SetPosition(0);
    std::atomic<int> behind{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 1; i <= kSteps; ++i) {
            progress.Step();
            behind += Position() == i ? 0 : 1;
        }
        done = true;
    });
    const bool finished = MessageWindow::PumpUntil([&] { return done.load(); }, kTimeoutMs);
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(behind, 0);
    EXPECT_EQ(Upper(), kSteps);
    EXPECT_EQ(Position(), kSteps);
}

struct OutcomeCase {
    const char* name;
    bool success;
    uint32_t outcomeId;
    FailureDetail detail;
};

class MessageOutcomeTest : public ::testing::TestWithParam<OutcomeCase> {};

// The worker is still blocked in its send while the handler runs, and the detail comes
// through bit for bit, bit 31 included.
TEST_P(MessageOutcomeTest, ArrivesOnTheWindowsThreadWhileTheSenderWaits) {
    const OutcomeCase& outcome = GetParam();
    MessageWindow window;
    MessageOutcome sink;
    sink.Attach(window.Handle());
    std::atomic<bool> returned{false};
    bool senderWaitedForHandler = false;
    window.onMessage = [&](const MessageWindow::Received&) { senderWaitedForHandler = !returned; };
    std::thread worker([&] {
        if (outcome.success) {
            sink.Success();
        } else {
            sink.Error(outcome.outcomeId, outcome.detail);
        }
        returned = true;
    });
    const bool finished = MessageWindow::PumpUntil([&] { return returned.load(); }, kTimeoutMs);
    worker.join();
    ASSERT_TRUE(finished);
    ASSERT_EQ(window.received.size(), 1u);
    const MessageWindow::Received& got = window.received[0];
    const BkupMessages& messages = RegisteredMessages();
    EXPECT_EQ(got.message, outcome.success ? messages.success : messages.error);
    EXPECT_EQ(got.wParam, outcome.outcomeId);
    EXPECT_EQ(static_cast<FailureDetail>(got.lParam), outcome.detail);
    EXPECT_EQ(got.threadId, GetCurrentThreadId());
    EXPECT_TRUE(senderWaitedForHandler);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, MessageOutcomeTest,
                         ::testing::Values(OutcomeCase{"Success", true, 0, 0},
                                           OutcomeCase{"ErrorWithoutDetail", false, 118, 0},
                                           OutcomeCase{"ErrorWithDetail", false, 119, 0x000900EB},
                                           OutcomeCase{"DetailWithBit31", false, 120, 0x800000EC}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowThreadTest, RunsAWorkersCallsOnTheWindowsThreadAndItsOwnAtOnce) {
    MessageWindow window;
    window.onMessage = [](const MessageWindow::Received& got) {
        if (got.message == RegisteredMessages().uiCall) {
            RunSentCall(got.lParam);
        }
    };
    WindowThread thread;
    thread.Attach(window.Handle());
    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<int> onUiThread{0};
    std::atomic<bool> done{false};
    constexpr int kCalls = 20;
    std::thread worker([&] {
        for (int i = 0; i < kCalls; ++i) {
            thread.Send([&] { onUiThread += GetCurrentThreadId() == uiThread ? 1 : 0; });
        }
        done = true;
    });
    const bool finished = MessageWindow::PumpUntil([&] { return done.load(); }, kTimeoutMs);
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(onUiThread, kCalls);

    window.received.clear();
    bool direct = false;
    thread.Send([&] { direct = true; });
    EXPECT_TRUE(direct);
    EXPECT_TRUE(window.received.empty());
}

}  // namespace
}  // namespace velloran::testing
