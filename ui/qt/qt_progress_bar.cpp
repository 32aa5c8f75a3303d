#include "ui/qt/qt_progress_bar.h"

#include <algorithm>
#include <limits>

namespace velloran {
namespace {

int ToBarValue(uint32_t value) {
    return static_cast<int>(std::min<uint32_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

void QtProgressBar::SetRange(uint32_t upper) {
    model_.SetRange(upper);
    Show();
}

void QtProgressBar::SetPosition(uint32_t position) {
    model_.SetPosition(position);
    Show();
}

void QtProgressBar::Step() {
    model_.Step();
    Show();
}

void QtProgressBar::Show() {
    bar_.setRange(0, ToBarValue(model_.Upper()));
    bar_.setValue(ToBarValue(model_.Position()));
}

}  // namespace velloran
