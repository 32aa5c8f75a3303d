#include "ui/progress_model.h"

#include <algorithm>

namespace velloran {

void ProgressModel::SetRange(uint32_t upper) {
    upper_ = upper;
    position_ = std::min(position_, upper_);
}

void ProgressModel::SetPosition(uint32_t position) {
    position_ = std::min(position, upper_);
}

void ProgressModel::Step() {
    if (upper_ == 0) {
        return;
    }
    const uint64_t next = uint64_t{position_} + step_;
    position_ = static_cast<uint32_t>(next > upper_ ? next % upper_ : next);
}

}  // namespace velloran
