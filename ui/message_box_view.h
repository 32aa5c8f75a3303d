#pragma once

#include <cstdint>
#include <string>

namespace velloran {

// A window that can show a modal message box it owns.
class MessageBoxView {
  public:
    virtual ~MessageBoxView() = default;
    // Shows the box (style: the kBox* values of ui_constants.h) and returns the answer
    // (kAnswerOk, kAnswerYes, kAnswerNo) once the user has dismissed it.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               uint32_t style) = 0;
};

}  // namespace velloran
