#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/file_dialog_request.h"

namespace velloran {

// The OFN_ flags of a request: OFN_HIDEREADONLY always, then OFN_OVERWRITEPROMPT,
// OFN_FILEMUSTEXIST and OFN_PATHMUSTEXIST as the request asks.
DWORD FileDialogFlags(const FileDialogRequest& request);

// The filter in the dialog's form: "name (pattern)", the pattern, each ended by a NUL,
// and a NUL after the last pair.
std::wstring FileDialogFilter(const FileDialogRequest& request);

// GetSaveFileNameW or GetOpenFileNameW, or a stand-in for tests.
using ShowFileDialog = std::function<bool(FileDialogKind kind, OPENFILENAMEW& dialog)>;
bool ShowSystemFileDialog(FileDialogKind kind, OPENFILENAMEW& dialog);

// Shows the system's save or open dialog, owned by `owner`. Returns the full path the
// user chose (UTF-8), or nullopt when the dialog was cancelled. The process's current
// folder is the same afterwards: a dialog leaves it where the user browsed, which would
// keep a USB stick there in use until the program ends.
std::optional<std::string> AskFile(HWND owner, const FileDialogRequest& request,
                                   const ShowFileDialog& show = ShowSystemFileDialog);

}  // namespace velloran
