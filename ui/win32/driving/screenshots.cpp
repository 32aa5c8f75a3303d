// Brings velloran.exe into the two states the documentation pictures, for a script that
// takes the pictures from the screen:
//   velloran-win32-screenshots PROGRAM SIM_DRIVER_DIR
// The main window as the program opens; the transfer window during a receive from the
// simulated LM-Q20, once its bar is past 40%. For each it prints "NAME X Y WIDTH HEIGHT"
// (the window's place on the screen) and waits for a line on standard input before it
// goes on. Exits 0 when both were shown and the program ended normally.
#include <windows.h>

// After windows.h, on which it builds.
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "res/resource.h"
#include "ui/win32/driving/program_driving.h"
#include "ui/win32/driving/program_under_test.h"
#include "ui/win32/driving/window_probe.h"
#include "ui/win32/utf8_text.h"

namespace {

using namespace velloran::driving;

constexpr int kLmQ20 = 1;
constexpr LRESULT kShotAtPercent = 40;
constexpr DWORD kTransferTimeoutMs = 240000;
constexpr DWORD kPaintMs = 1000;  // for the window to draw itself before the picture

// Tells the script where `window` is and waits until it has taken the picture.
void Show(const char* name, HWND window) {
    Sleep(kPaintMs);
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%s %ld %ld %ld %ld\n", name, rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    std::fflush(stdout);
    std::string taken;
    std::getline(std::cin, taken);
}

bool BarPastShotPoint(HWND transfer) {
    const HWND bar = GetDlgItem(transfer, IDC_PROGRESS);
    const LRESULT upper = SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
    return upper > 0 && SendMessageW(bar, PBM_GETPOS, 0, 0) * 100 >= upper * kShotAtPercent;
}

// A fresh folder for the printer's memory and the received file, removed at the end.
class ScratchFolder {
  public:
    ScratchFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("velloran-screenshots-" + std::to_string(GetCurrentProcessId()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

int Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return Fail("usage: velloran-win32-screenshots PROGRAM SIM_DRIVER_DIR");
    }
    const ScratchFolder scratch;
    ProgramUnderTest program(velloran::Utf16(argv[1]),
                             SimulatedPrinterEnvironment(argv[2], scratch.Path()));
    const HWND mainWindow = WaitForWindow(program.Id(), kMainWindowMark, kWindowTimeoutMs);
    if (mainWindow == nullptr) {
        return Fail("the main window did not open");
    }
    Show("main-window", mainWindow);

    SelectModel(mainWindow, kLmQ20);
    PostClick(mainWindow, IDC_RECEIVE);
    if (!AnswerFileDialog(program.Id(),
                          velloran::Utf8((scratch.Path() / L"lmq20.vid").wstring())) ||
        !AnswerBox(program.Id(), IDYES)) {
        return Fail("no file dialog or no confirmation");
    }
    const HWND transfer = WaitForWindow(program.Id(), kTransferWindowMark, kWindowTimeoutMs);
    if (transfer == nullptr ||
        !WaitUntil([transfer] { return BarPastShotPoint(transfer); }, kTransferTimeoutMs)) {
        return Fail("the transfer window did not show its progress");
    }
    Show("transfer-window", transfer);

    if (!AnswerBox(program.Id(), IDOK, kTransferTimeoutMs)) {
        return Fail("the transfer did not end");
    }
    PostClick(mainWindow, IDC_EXIT);
    return program.WaitForExit(kWindowTimeoutMs) == DWORD{0} ? 0 : Fail("the program did not end");
}
