#include "tests/ui/win32/box_answerer.h"

#include <commctrl.h>

#include "tests/ui/win32/window_probe.h"

namespace velloran::testing {
namespace {

constexpr DWORD kPollMs = 5;
constexpr DWORD kCloseTimeoutMs = 5000;

}  // namespace

BoxAnswerer::BoxAnswerer() : thread_([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
    stop_ = true;
    thread_.join();
}

std::vector<BoxAnswerer::Box> BoxAnswerer::Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

void BoxAnswerer::Run() {
    while (!stop_) {
        for (const HWND box : VisibleWindows(GetCurrentProcessId(), kMessageBoxMark)) {
            Answer(box);
        }
        Sleep(kPollMs);
    }
}

void BoxAnswerer::Answer(HWND box) {
    const std::vector<HWND> transfer = VisibleWindows(GetCurrentProcessId(), kTransferWindowMark);
    const LRESULT position =
        transfer.empty()
            ? -1
            : SendMessageW(GetDlgItem(transfer.front(), IDC_PROGRESS), PBM_GETPOS, 0, 0);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back({ControlText(box, kMessageBoxTextId), TextOf(box),
                          GetWindow(box, GW_OWNER), !transfer.empty(), position});
    }
    PostClick(box, IDOK);
    WaitUntil([box] { return !IsWindow(box); }, kCloseTimeoutMs);
}

}  // namespace velloran::testing
