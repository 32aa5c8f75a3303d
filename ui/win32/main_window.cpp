#include "ui/win32/main_window.h"

#include <utility>

#include "res/resource.h"
#include "ui/win32/file_dialog.h"
#include "ui/win32/message_box.h"
#include "ui/win32/minimised_icon.h"
#include "ui/win32/transfer_window.h"
#include "ui/win32/utf8_text.h"
#include "ui/win32/window_input_win32.h"

namespace velloran {

MainWindow::MainWindow(HelpLauncher& help, MainDlgEnvironment environment)
    : DialogWindow(IDD_MAIN),
      appIcon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP))),
      logic_(*this, help, std::move(environment)) {
    MapMessages();
}

void MainWindow::MapMessages() {
    OnMessage(WM_PAINT, [this](WPARAM, LPARAM) { return OnPaint(); });
    OnMessage(WM_QUERYDRAGICON,
              [this](WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(appIcon_); });
    OnMessage(WM_HELP, [](WPARAM, LPARAM) { return TRUE; });  // F1 shows nothing
    OnCommand(IDC_RECEIVE, BN_CLICKED, [this] { logic_.OnReceive(); });
    OnCommand(IDC_SEND, BN_CLICKED, [this] { logic_.OnSend(); });
    OnCommand(IDC_MODEL, CBN_SELCHANGE, [this] { logic_.OnSelchangeModel(); });
    OnCommand(IDC_HELP_BUTTON, BN_CLICKED, [this] { logic_.OnHelpButton(); });
    OnCommand(IDOK, BN_CLICKED, [this] { EndModal(IDOK); });
    OnCommand(IDCANCEL, BN_CLICKED, [this] { EndModal(IDCANCEL); });  // the close box
}

bool MainWindow::PreTranslateMessage(const MSG& msg) {
    return CMainDlg::PreTranslateMessage(InputOfMessage(msg));
}

std::optional<LRESULT> MainWindow::OnPaint() {
    if (!IsIconic(Handle())) {
        return std::nullopt;
    }
    PaintMinimisedIcon(Handle(), appIcon_);
    return 0;
}

void MainWindow::SetCaption(const std::string& text) {
    SetWindowTextW(Handle(), Utf16(text).c_str());
}

void MainWindow::SetAppIcon() {
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));
}

void MainWindow::SetControlText(int32_t controlId, const std::string& text) {
    SetDlgItemTextW(Handle(), controlId, Utf16(text).c_str());
}

void MainWindow::AddModel(const std::string& displayName) {
    SendMessageW(Control(IDC_MODEL), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Utf16(displayName).c_str()));
}

void MainWindow::SetModelSelection(int32_t index) {
    SendMessageW(Control(IDC_MODEL), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int32_t MainWindow::ModelSelection() const {
    return static_cast<int32_t>(SendMessageW(Control(IDC_MODEL), CB_GETCURSEL, 0, 0));
}

std::optional<std::string> MainWindow::AskFile(const FileDialogRequest& request) {
    return velloran::AskFile(Handle(), request);
}

void MainWindow::DoModal(CTransferDlg& transfer) {
    TransferWindow window(transfer);
    window.DoModal(Handle());
}

int MainWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                               uint32_t style) {
    return velloran::ShowMessageBox(Handle(), text, caption, style);
}

}  // namespace velloran
