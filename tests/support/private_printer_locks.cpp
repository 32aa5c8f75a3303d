// Compiled into every test program: its printer locks live in a runtime folder (Windows: a
// lock scope) of its own, so that test programs running side by side never find each
// other's printers busy. The programs a test starts inherit both.
#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

namespace {

velloran::testing::TempDir runtimeFolder;

bool Isolate() {
    std::filesystem::permissions(runtimeFolder.Path(), std::filesystem::perms::owner_all);
    velloran::testing::SetEnvVar("XDG_RUNTIME_DIR", runtimeFolder.Path().string());
    velloran::testing::SetEnvVar("VELLORAN_LOCK_SCOPE", runtimeFolder.Path().filename().string());
    return true;
}

[[maybe_unused]] const bool isolated = Isolate();

}  // namespace
