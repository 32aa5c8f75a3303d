#pragma once

#include <windows.h>

namespace velloran {

// The numbers the system assigned to the transfer messages. Code compares with these,
// never with constants.
struct BkupMessages {
    UINT start;    // WM_BKUP_START (0, 0): run the dispatcher
    UINT success;  // WM_BKUP_SUCCESS (0, 0): the transfer succeeded
    UINT error;    // WM_BKUP_ERROR (outcome id, FailureDetail): the transfer failed
};

// Registers the messages on the first call, which the program makes at start-up before
// any window exists; later calls return the same numbers.
const BkupMessages& RegisteredMessages();

}  // namespace velloran
