#pragma once

#include <windows.h>

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

// Shows the system's save or open dialog, owned by `owner`. Returns the full path the
// user chose (UTF-8), or nullopt when the dialog was cancelled.
std::optional<std::string> AskFile(HWND owner, const FileDialogRequest& request);

}  // namespace velloran
