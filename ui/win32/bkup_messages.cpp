#include "ui/win32/bkup_messages.h"

#include "ui/win32/win32_constants.h"

namespace velloran {

const BkupMessages& RegisteredMessages() {
    static const BkupMessages messages{
        RegisterWindowMessageW(kBkupStartName),
        RegisterWindowMessageW(kBkupSuccessName),
        RegisterWindowMessageW(kBkupErrorName),
    };
    return messages;
}

}  // namespace velloran
