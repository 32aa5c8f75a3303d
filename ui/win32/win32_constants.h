#pragma once

#include <windows.h>

namespace velloran {

// The names under which the transfer messages are registered with the system.
inline constexpr wchar_t kBkupStartName[] = L"WM_BKUP_START";
inline constexpr wchar_t kBkupSuccessName[] = L"WM_BKUP_SUCCESS";
inline constexpr wchar_t kBkupErrorName[] = L"WM_BKUP_ERROR";

// The HTML Help viewer: where the registry says its library is, the library's name in
// the system folder when it says nothing, and HtmlHelpW's ordinal;
// its commands to show the contents and to close every help window.
inline constexpr wchar_t kHtmlHelpServerKey[] =
    L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
inline constexpr wchar_t kHtmlHelpLibrary[] = L"hhctrl.ocx";
inline constexpr WORD kHtmlHelpWOrdinal = 15;
inline constexpr UINT kHhDisplayToc = 0x0001;
inline constexpr UINT kHhCloseAll = 0x0012;

// The longest path a wide Win32 call hands back, in UTF-16 units with the terminator.
inline constexpr DWORD kLongestPath = 32768;

// The control of a message box that holds its text.
inline constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace velloran
