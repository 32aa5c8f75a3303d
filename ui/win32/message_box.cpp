#include "ui/win32/message_box.h"

#include "ui/ui_constants.h"
#include "ui/win32/utf8_text.h"

namespace velloran {

static_assert(kBoxYesNo == MB_YESNO && kBoxIconExclamation == MB_ICONEXCLAMATION &&
              kBoxIconInformation == MB_ICONINFORMATION);
static_assert(kAnswerOk == IDOK && kAnswerYes == IDYES && kAnswerNo == IDNO);

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                   uint32_t style) {
    return MessageBoxW(owner, Utf16(text).c_str(), Utf16(caption).c_str(), style);
}

}  // namespace velloran
