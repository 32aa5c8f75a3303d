#include "ui/win32/message_outcome.h"

#include "ui/win32/bkup_messages.h"

namespace velloran {

void MessageOutcome::Success() {
    const HWND window = window_;
    SendMessageW(window, RegisteredMessages().success, 0, 0);
}

void MessageOutcome::Error(uint32_t outcomeId, FailureDetail detail) {
    const HWND window = window_;
    SendMessageW(window, RegisteredMessages().error, outcomeId,
                 static_cast<LPARAM>(static_cast<int32_t>(detail)));
}

}  // namespace velloran
