; Installing over, or removing, a program that is running.
;
; Windows neither replaces nor deletes the file of a running program. Services of the service
; control manager whose program is the installed karune-modem.exe are stopped first (and started
; again afterwards, running the new file); a copy that still holds the file after that (the window,
; or a console running --headless) makes the interactive installer name it and wait, and a silent
; one fail with exit status 2 and a line on standard error saying why. The program's file is
; replaced in one step, before anything else is written, so that a failure leaves the old
; installation whole, its uninstall entry included. The uninstaller stops and removes such
; services only after saying so (interactively: asking) and refuses the same way while a copy runs.
; Included by karune-modem.nsi after its languages.

!include "LogicLib.nsh"

!define KARUNE_EXE "karune-modem.exe"
!define KARUNE_SERVICES "SYSTEM\CurrentControlSet\Services"

LangString KaruneRunning ${LANG_JAPANESE} "${PRODUCT} が実行中です ($INSTDIR\${KARUNE_EXE})。$\r$\n$\r$\nウィンドウを閉じるか、--headless で実行しているコンソールで Ctrl+C を押して終了させてから、[再試行] を押してください。[キャンセル] で中止します。"
LangString KaruneRunning ${LANG_ENGLISH} "${PRODUCT} is running ($INSTDIR\${KARUNE_EXE}).$\r$\n$\r$\nClose its window, or press Ctrl+C in the console running it with --headless, then press Retry. Cancel stops here."
LangString KaruneRemoveServices ${LANG_JAPANESE} "次のサービスが ${PRODUCT} を実行しています: $0$\r$\n$\r$\n停止して削除しますか? [いいえ] でアンインストールを中止します。"
LangString KaruneRemoveServices ${LANG_ENGLISH} "These services run ${PRODUCT}: $0$\r$\n$\r$\nStop and remove them? No stops the uninstallation."

Var karuneStopped  ; the services this run stopped, each followed by "|"
Var karuneLong     ; the installed karune-modem.exe, long form of its path
Var karuneShort    ; and its short form

; A line for whoever runs the installer silently (standard error, when it has one), and the
; details. ASCII only: it goes out as bytes whatever the console's code page.
!macro KaruneTell UN TEXT
    Push "${TEXT}"
    Call ${UN}karuneTell
!macroend

; $R8 becomes 1 when the service program $0 starts with PATH, followed by its end, a quote or a
; space. The comparison ignores case, as Windows does with file names.
!macro KaruneImageIs PATH
    StrLen $2 "${PATH}"
    StrCpy $3 $0 $2
    ${If} $2 > 0
    ${AndIf} $3 == "${PATH}"
        StrCpy $3 $0 1 $2
        ${If} $3 == ""
        ${OrIf} $3 == '"'
        ${OrIf} $3 == " "
            StrCpy $R8 1
        ${EndIf}
    ${EndIf}
!macroend

!macro KaruneFunctions UN

Function ${UN}karuneTell
    Exch $0
    Push $1
    Push $2
    DetailPrint $0
    ${If} ${Silent}
        System::Call 'kernel32::GetStdHandle(i -12) p .r1'
        ${If} $1 P<> 0
        ${AndIf} $1 P<> -1
            StrCpy $0 "karune-modem setup: $0$\r$\n"
            StrLen $2 $0
            System::Call 'kernel32::WriteFile(p r1, m r0, i r2, *i .r2, p 0)'
        ${EndIf}
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; $R9: a service's name. $R8: 1 when its program is the installed karune-modem.exe, written in
; the long or the short form of its path.
Function ${UN}karuneRunsInstalled
    Push $0
    Push $1
    Push $2
    Push $3
    StrCpy $R8 0
    ReadRegStr $0 HKLM "${KARUNE_SERVICES}\$R9" "ImagePath"
    ExpandEnvStrings $0 $0
    StrCpy $1 $0 1
    ${If} $1 == '"'
        StrCpy $0 $0 "" 1
    ${EndIf}
    !insertmacro KaruneImageIs $karuneLong
    !insertmacro KaruneImageIs $karuneShort
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; $R9: a service's name; $R7: 0 query, 1 stop, 2 start, 3 delete. $R8: its state afterwards
; (1 stopped, 4 running...), 0 when it cannot be reached.
Function ${UN}karuneService
    Push $0
    Push $1
    Push $2
    Push $3
    StrCpy $R8 0
    System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i 1) p .r0'
    ; SERVICE_QUERY_STATUS, SERVICE_START, SERVICE_STOP and DELETE.
    System::Call 'advapi32::OpenServiceW(p r0, w R9, i 0x10034) p .r1'
    System::Call '*(i, i, i, i, i, i, i) p .r2'
    ${If} $1 P<> 0
        ${If} $R7 == 1
            System::Call 'advapi32::ControlService(p r1, i 1, p r2) i .r3'
            ; The call in progress closes first: the service asks for up to 30 seconds.
            ${For} $3 1 240
                System::Call 'advapi32::QueryServiceStatus(p r1, p r2) i .r3'
                System::Call '*$2(i, i .R8)'
                ${IfThen} $R8 == 1 ${|} ${Break} ${|}
                Sleep 250
            ${Next}
        ${ElseIf} $R7 == 2
            System::Call 'advapi32::StartServiceW(p r1, i 0, p 0) i .r3'
        ${ElseIf} $R7 == 3
            System::Call 'advapi32::DeleteService(p r1) i .r3'
        ${EndIf}
        System::Call 'advapi32::QueryServiceStatus(p r1, p r2) i .r3'
        System::Call '*$2(i, i .R8)'
        System::Call 'advapi32::CloseServiceHandle(p r1)'
    ${EndIf}
    System::Free $2
    System::Call 'advapi32::CloseServiceHandle(p r0)'
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; $karuneStopped: the running services of the installed program, each followed by "|". $R5: their
; names for the operator, separated by commas.
Function ${UN}karuneFindServices
    Push $0
    Push $1
    StrCpy $R5 ""
    StrCpy $karuneStopped ""
    StrCpy $karuneLong "$INSTDIR\${KARUNE_EXE}"
    System::Call 'kernel32::GetLongPathNameW(w "$karuneLong", w .r0, i ${NSIS_MAX_STRLEN}) i .r1'
    ${If} $1 > 0
        StrCpy $karuneLong $0
    ${EndIf}
    GetFullPathName /SHORT $karuneShort $karuneLong
    StrCpy $0 0
    ${Do}
        EnumRegKey $1 HKLM "${KARUNE_SERVICES}" $0
        ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
        IntOp $0 $0 + 1
        StrCpy $R9 $1
        Call ${UN}karuneRunsInstalled
        ${If} $R8 == 1
            StrCpy $R7 0
            Call ${UN}karuneService
            ${If} $R8 <> 1
            ${AndIf} $R8 <> 0
                StrCpy $karuneStopped "$karuneStopped$1|"
                ${If} $R5 != ""
                    StrCpy $R5 "$R5, "
                ${EndIf}
                StrCpy $R5 "$R5$1"
            ${EndIf}
        ${EndIf}
    ${Loop}
    Pop $1
    Pop $0
FunctionEnd

; Runs $R7's action (see karuneService) on every service in $karuneStopped.
Function ${UN}karuneEachService
    Push $0
    Push $1
    Push $2
    StrCpy $0 $karuneStopped
    ${DoUntil} $0 == ""
        StrCpy $1 0
        ${Do}
            StrCpy $2 $0 1 $1
            ${IfThen} $2 == "|" ${|} ${ExitDo} ${|}
            IntOp $1 $1 + 1
        ${Loop}
        StrCpy $R9 $0 $1
        IntOp $1 $1 + 1
        StrCpy $0 $0 "" $1
        Call ${UN}karuneService
        ${If} $R7 == 1
        ${AndIf} $R8 <> 1
            !insertmacro KaruneTell "${UN}" "the service $R9 did not stop"
        ${EndIf}
    ${Loop}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; $R8: 1 while a program holds the installed karune-modem.exe (Windows refuses to write a file
; that a running program was started from).
Function ${UN}karuneInUse
    Push $0
    StrCpy $R8 0
    ${If} ${FileExists} "$INSTDIR\${KARUNE_EXE}"
        ClearErrors
        FileOpen $0 "$INSTDIR\${KARUNE_EXE}" a
        ${If} ${Errors}
            StrCpy $R8 1
        ${Else}
            FileClose $0
        ${EndIf}
    ${EndIf}
    Pop $0
FunctionEnd

; Waits (interactively) until no copy holds the program's file. $R8: 1 when one still does: the
; services stopped by this run are running again then, and the caller gives up.
Function ${UN}karuneWaitForCopies
    ${Do}
        Call ${UN}karuneInUse
        ${IfThen} $R8 == 0 ${|} Return ${|}
        ${If} ${Silent}
            !insertmacro KaruneTell "${UN}" "$INSTDIR\${KARUNE_EXE} is running (its window, or a console running --headless); close it and run this again"
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(KaruneRunning)" IDRETRY retry
        ${Break}
        retry:
    ${Loop}
    StrCpy $R7 2
    Call ${UN}karuneEachService
    StrCpy $R8 1
FunctionEnd

!macroend

!insertmacro KaruneFunctions ""
!insertmacro KaruneFunctions "un."

; In the install section, before any other file: stops the installed program's services, waits
; for other copies, and puts the new program in the place of the old one in one step. Gives up
; with exit status 2 when a copy still runs.
!macro KaruneReplaceProgram SOURCE
    Call karuneFindServices
    StrCpy $R7 1
    Call karuneEachService
    Call karuneWaitForCopies
    ${If} $R8 == 0
        File "/oname=${KARUNE_EXE}.new" "${SOURCE}"
        ; MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH.
        System::Call 'kernel32::MoveFileExW(w "$INSTDIR\${KARUNE_EXE}.new", w "$INSTDIR\${KARUNE_EXE}", i 9) i .R8'
        ${If} $R8 == 0
            Delete "$INSTDIR\${KARUNE_EXE}.new"
            !insertmacro KaruneTell "" "$INSTDIR\${KARUNE_EXE} could not be replaced; is it running?"
            StrCpy $R7 2
            Call karuneEachService
            StrCpy $R8 1
        ${Else}
            StrCpy $R8 0
        ${EndIf}
    ${EndIf}
    ${If} $R8 == 1
        SetErrorLevel 2
        Abort
    ${EndIf}
!macroend

; At the end of the install section: the services stopped for the update run again, now the new
; program.
!macro KaruneRestartServices
    StrCpy $R7 2
    Call karuneEachService
!macroend

; In the uninstall section, before anything is removed: the installed program's services are
; stopped (interactively only if the user agrees), a copy still running refuses the uninstallation
; with exit status 2, and the stopped services are removed.
!macro KaruneStopForUninstall
    Call un.karuneFindServices
    ${If} $karuneStopped != ""
        ${IfNot} ${Silent}
            StrCpy $0 $R5
            MessageBox MB_YESNO|MB_ICONQUESTION "$(KaruneRemoveServices)" IDYES karuneAgreed
            SetErrorLevel 2
            Abort
            karuneAgreed:
        ${EndIf}
        !insertmacro KaruneTell "un." "stopping and removing the services that run it: $R5"
        StrCpy $R7 1
        Call un.karuneEachService
    ${EndIf}
    Call un.karuneWaitForCopies
    ${If} $R8 == 1
        SetErrorLevel 2
        Abort
    ${EndIf}
    StrCpy $R7 3
    Call un.karuneEachService
!macroend
