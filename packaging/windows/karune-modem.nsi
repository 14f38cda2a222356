; The Windows installer of KARUNE_MODEM, for every user of the PC (administrator rights).
; Built by the Windows build: cmake --build build-windows --target installer
; Silent: karune-modem-VERSION-setup.exe /S [/D=C:\Folder]; uninstall.exe /S.
; Defines from the build: VERSION, PUBLISHER, PROGRAM (the .exe), OUTFILE.

Unicode true
; Debian's makensis builds a 32-bit installer unless told otherwise.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "KARUNE_MODEM"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "karune-modem.ico"
!define MUI_UNICON "karune-modem.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(KeptByUninstall)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

!addincludedir "${__FILEDIR__}"
!include "RunningCopies.nsh"

LangString KeptByUninstall ${LANG_JAPANESE} "${PRODUCT} のプログラムとスタート メニューの項目を削除します。各ユーザーの設定 (%LOCALAPPDATA%\karune-modem の karune-modem.ini)、バックアップ (Back.txt) と保存フォルダーの受信ファイルは削除しません。"
LangString KeptByUninstall ${LANG_ENGLISH} "This removes the ${PRODUCT} program and its Start menu entry. Each user's settings (karune-modem.ini in %LOCALAPPDATA%\karune-modem), the back-up (Back.txt) and the received files in the save folder stay where they are."

Section "${PRODUCT}"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    !insertmacro KaruneReplaceProgram "${PROGRAM}"
    File "karune-modem.ico"
    ; The mark that keeps the settings of an installed program per user.
    File "karune-modem.installed"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\karune-modem.exe" "" \
        "$INSTDIR\karune-modem.ico"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\karune-modem.ico"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    !insertmacro KaruneRestartServices
SectionEnd

; The program's own source in the Application event log, its message table in the program: the
; services write their start, end and failures there.
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\${PRODUCT}"
Section "-EventSource"
    WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\karune-modem.exe"
    ; Errors, warnings and information.
    WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7
SectionEnd

; Only what the installer put there: settings, back-up, logs and received files stay.
Section "Uninstall"
    !insertmacro KaruneStopForUninstall
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\karune-modem.exe"
    Delete "$INSTDIR\karune-modem.ico"
    Delete "$INSTDIR\karune-modem.installed"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; After the uninstall section, which gives up while a copy still runs: a refused uninstallation
; leaves the event source to the services that go on running.
Section "-un.EventSource"
    DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"
SectionEnd
