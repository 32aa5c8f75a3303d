#pragma once

#include <windows.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace velloran::driving {

inline constexpr DWORD kWindowTimeoutMs = 15000;

// The environment that points the program at the simulated printer in `simDir` (put
// first in the search path), with the printer's memory kept in `stateDir`.
std::map<std::wstring, std::wstring> SimulatedPrinterEnvironment(
    const std::string& simDir, const std::filesystem::path& stateDir);

// Chooses model `index` in the main window's list, as the user would.
void SelectModel(HWND mainWindow, int index);

// Waits for the save or open dialog of process `processId`, types `path` as the file
// name and presses OK. False when no dialog came.
bool AnswerFileDialog(DWORD processId, const std::string& path);

struct SeenBox {
    std::wstring text;
    std::wstring caption;
    HWND owner = nullptr;
};

// Waits for a message box of process `processId` and answers it with `button`;
// nullopt when none came.
std::optional<SeenBox> AnswerBox(DWORD processId, int button, DWORD timeoutMs = kWindowTimeoutMs);

}  // namespace velloran::driving
