// Compiled into every test program: its printer locks live in a runtime folder (and, on
// Windows, under a lock scope) of its own, so that test programs running side by side do
// not find each other's printers busy. The programs a test starts inherit both.
#include <filesystem>
#include <string>

#include "tests/support/process_env.h"
#include "tests/support/temp_dir.h"

namespace {

velloran::testing::TempDir runtimeFolder;

bool Isolate() {
    std::filesystem::permissions(runtimeFolder.Path(), std::filesystem::perms::owner_all);
    const std::string folder = velloran::testing::Utf8FromPath(runtimeFolder.Path());
    velloran::testing::SetEnvVar("XDG_RUNTIME_DIR", folder);
    // Appended to: GCC 12 at -O3 warns falsely about a sum of a literal and a string.
    std::string scope = "-";
    scope.append(runtimeFolder.Path().filename().string());
    velloran::testing::SetEnvVar("VELLORAN_LOCK_SCOPE", scope);
    return true;
}

[[maybe_unused]] const bool isolated = Isolate();

}  // namespace
