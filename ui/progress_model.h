#pragma once

#include <cstdint>

namespace velloran {

// The arithmetic of a progress control, kept apart from any toolkit: a range from 0, a
// step and a position that stays inside the range. A step past the top starts over from
// the bottom, as the common progress control does.
class ProgressModel {
  public:
    void SetRange(uint32_t upper);
    void SetStep(uint32_t step) { step_ = step; }
    void SetPosition(uint32_t position);
    void Step();

    uint32_t Upper() const { return upper_; }
    uint32_t Position() const { return position_; }

  private:
    uint32_t upper_ = 100;  // the control's range before anyone sets one
    uint32_t step_ = 10;    // the control's step before anyone sets one
    uint32_t position_ = 0;
};

}  // namespace velloran
