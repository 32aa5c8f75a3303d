#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace velloran {

// A modal message box owned by `owner`; style: the kBox* values of ui_constants.h, which
// are the system's MB_ flags. Returns the answer (kAnswerOk, kAnswerYes, kAnswerNo).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, uint32_t style);

}  // namespace velloran
