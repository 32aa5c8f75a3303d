// While velloran-cli.exe runs it holds a named mutex of its own, unowned, which every
// running copy opens: the installer and the uninstaller look for it (and for the desktop
// program's single-instance mutex) and ask the user to close the program before they
// replace or remove its files. Made before main runs; the system closes the handle when
// the process ends, however it ends.
#include <windows.h>

namespace {

[[maybe_unused]] const HANDLE runningMark =
    CreateMutexW(nullptr, FALSE, L"" VELLORAN_CLI_RUNNING_MUTEX);

}  // namespace
