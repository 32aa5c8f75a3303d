#include "ui/win32/file_dialog.h"

#include "ui/win32/utf8_text.h"
#include "ui/win32/win32_constants.h"

namespace velloran {

DWORD FileDialogFlags(const FileDialogRequest& request) {
    DWORD flags = OFN_HIDEREADONLY;
    flags |= request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0;
    flags |= request.fileMustExist ? OFN_FILEMUSTEXIST : 0;
    flags |= request.pathMustExist ? OFN_PATHMUSTEXIST : 0;
    return flags;
}

std::wstring FileDialogFilter(const FileDialogRequest& request) {
    const std::wstring pattern = Utf16(request.filterPattern);
    std::wstring filter = Utf16(request.filterName) + L" (" + pattern + L")";
    filter.push_back(L'\0');
    filter += pattern;
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

bool ShowSystemFileDialog(FileDialogKind kind, OPENFILENAMEW& dialog) {
    return kind == FileDialogKind::kSave ? GetSaveFileNameW(&dialog) != 0
                                         : GetOpenFileNameW(&dialog) != 0;
}

namespace {

std::wstring CurrentFolder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

}  // namespace

std::optional<std::string> AskFile(HWND owner, const FileDialogRequest& request,
                                   const ShowFileDialog& show) {
    std::wstring path(kLongestPath, L'\0');
    const std::wstring initial = Utf16(request.initialName);
    path.replace(0, initial.size(), initial);
    const std::wstring filter = FileDialogFilter(request);
    const std::wstring extension = Utf16(request.defaultExtension);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kLongestPath;
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = FileDialogFlags(request);
    const std::wstring folder = CurrentFolder();
    const bool chosen = show(request.kind, dialog);
    SetCurrentDirectoryW(folder.c_str());
    if (!chosen) {
        return std::nullopt;
    }
    return Utf8(path.c_str());
}

}  // namespace velloran
