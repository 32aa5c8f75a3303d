; The VELLORAN installer: velloran.exe, velloran-cli.exe and VLR120.chm in one folder under
; Program Files for every user, a Start-menu shortcut, an uninstaller and the Add/Remove
; Programs entry. makensis gets VERSION, BIN_DIR, ICON, OUT_FILE, PROGRAM_MUTEX and
; CLI_MUTEX with -D.
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VELLORAN"
!define PUBLISHER "VELLORAN developers"

Name "VELLORAN"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\VELLORAN"
; An update goes where the installed version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "VELLORAN"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "VELLORAN ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Before anything is replaced or removed: the desktop program holds its single-instance
; mutex while it runs, velloran-cli.exe a mutex of its own. Files in use could be neither
; replaced nor removed, so the user is asked to close the programs first; a silent run
; ends with exit code 2 instead, having changed nothing.
!macro WAIT_UNTIL_CLOSED
    retry:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PROGRAM_MUTEX}") p .r0'
    ${If} $0 = 0
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${CLI_MUTEX}") p .r0'
    ${EndIf}
    ${If} $0 <> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "VELLORAN が実行中です。$\n$\nVELLORAN (velloran.exe、velloran-cli.exe) をすべて終了してから [再試行] を押してください。" /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
    ${EndIf}
!macroend

Function .onInit
    !insertmacro WAIT_UNTIL_CLOSED
FunctionEnd

Function un.onInit
    !insertmacro WAIT_UNTIL_CLOSED
FunctionEnd

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${BIN_DIR}/velloran.exe"
    File "${BIN_DIR}/velloran-cli.exe"
    File "${BIN_DIR}/VLR120.chm"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\VELLORAN.lnk" "$INSTDIR\velloran.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "VELLORAN"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velloran.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/M=*.* /S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes exactly what the installer put in place: backups a user saved in the folder
; stay, and so does the folder with them.
Section "Uninstall"
    SetShellVarContext all
    Delete "$INSTDIR\velloran.exe"
    Delete "$INSTDIR\velloran-cli.exe"
    Delete "$INSTDIR\VLR120.chm"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\VELLORAN.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
