// Compiled into every test program: brief holds of files are waited out on a fake clock,
// so a test that holds a file never sleeps.
#include "platform/exclusive_file.h"
#include "tests/support/fake_clock.h"

namespace {

velloran::testing::FakeClock retryClock;
[[maybe_unused]] const bool installed = (velloran::SetFileRetryClock(retryClock), true);

}  // namespace
