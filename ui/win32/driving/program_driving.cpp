#include "ui/win32/driving/program_driving.h"

#include "res/resource.h"
#include "ui/win32/driving/window_probe.h"
#include "ui/win32/utf8_text.h"

namespace velloran::driving {

std::map<std::wstring, std::wstring> SimulatedPrinterEnvironment(
    const std::string& simDir, const std::filesystem::path& stateDir) {
    std::wstring path(kLongestPath, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), kLongestPath));
    return {
        {L"PATH", Utf16(simDir) + L";" + path},
        {L"VELLORAN_SIM_STATE_DIR", stateDir.wstring()},
    };
}

void SelectModel(HWND mainWindow, int index) {
    const HWND list = GetDlgItem(mainWindow, IDC_MODEL);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_MODEL, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

bool AnswerFileDialog(DWORD processId, const std::string& path) {
    const HWND dialog = WaitForWindow(processId, kFileDialogMark, kWindowTimeoutMs);
    if (dialog == nullptr) {
        return false;
    }
    SetDlgItemTextW(dialog, kFileDialogMark.controlId, Utf16(path).c_str());
    PostClick(dialog, IDOK);
    return true;
}

std::optional<SeenBox> AnswerBox(DWORD processId, int button, DWORD timeoutMs) {
    const HWND box = WaitForWindow(processId, kMessageBoxMark, timeoutMs);
    if (box == nullptr) {
        return std::nullopt;
    }
    SeenBox seen{ControlText(box, kMessageBoxTextId), TextOf(box), GetWindow(box, GW_OWNER)};
    PostClick(box, button);
    WaitUntil([box] { return !IsWindow(box); }, kWindowTimeoutMs);
    return seen;
}

}  // namespace velloran::driving
