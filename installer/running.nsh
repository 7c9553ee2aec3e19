; A Dorvane that runs from the install directory holds its files, and it has no message that would
; end it from outside: its only way out is Exit in its own menu (which may ask for its password),
; and ending its process could cut a door command short. So the setup and the uninstaller wait
; for the user to close it, and a silent run gives up with exit code 2 and changes nothing.
;
; The program's windows are dialogs (class "#32770"), its hidden main window among them; one whose
; process is $INSTDIR\Dorvane.exe means the program runs from there, on this desktop. A Dorvane of
; another user's session has no window here: Windows lets nobody write the .exe of a running
; program, so a program file that cannot be opened for writing tells of that one.

!include LogicLib.nsh

!macro DORVANE_RUNNING_CHECK UN

; $0 := 1 when a window of a Dorvane.exe started from $INSTDIR exists, else 0.
Function ${UN}IsDorvaneRunning
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    StrCpy $0 0
    StrCpy $1 0
    ${Do}
        FindWindow $1 "#32770" "" 0 $1
        ${IfThen} $1 = 0 ${|} ${Break} ${|}
        System::Call 'user32::GetWindowThreadProcessId(p r1, *i 0 r2)'
        ; PROCESS_QUERY_LIMITED_INFORMATION: granted for other users' and elevated processes too.
        System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r2) p .r3'
        ${If} $3 P<> 0
            System::Call 'kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r4, *i ${NSIS_MAX_STRLEN}) i .r5'
            System::Call 'kernel32::CloseHandle(p r3)'
            ; LogicLib's == ignores letter case, as the file system does.
            ${If} $5 <> 0
            ${AndIf} $4 == "$INSTDIR\Dorvane.exe"
                StrCpy $0 1
                ${Break}
            ${EndIf}
        ${EndIf}
    ${Loop}
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

; $0 := 1 when the file $1 exists and another process holds it so that it cannot be written (a
; sharing or lock violation, as for a running program's .exe), else 0.
Function ${UN}IsFileInUse
    Push $2
    Push $3
    StrCpy $0 0
    ; GENERIC_WRITE, sharing everything, OPEN_EXISTING: nothing is written, the file stays as it is.
    System::Call 'kernel32::CreateFileW(w r1, i 0x40000000, i 7, p 0, i 3, i 0, p 0) p .r2 ?e'
    Pop $3
    ${If} $2 P= -1
        ; ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION; a missing file is not in use.
        ${If} $3 = 32
        ${OrIf} $3 = 33
            StrCpy $0 1
        ${EndIf}
    ${Else}
        System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    Pop $3
    Pop $2
FunctionEnd

; $0 := 1 when Dorvane.exe or Ambergate.exe in $INSTDIR is in use, else 0.
Function ${UN}AreDorvaneFilesInUse
    Push $1
    StrCpy $1 "$INSTDIR\Dorvane.exe"
    Call ${UN}IsFileInUse
    ${If} $0 = 0
        StrCpy $1 "$INSTDIR\Ambergate.exe"
        Call ${UN}IsFileInUse
    ${EndIf}
    Pop $1
FunctionEnd

; Returns once no Dorvane runs from $INSTDIR, on this desktop or in another session; aborts the
; section when the user gives up (Cancel, and at once in silent mode).
Function ${UN}WaitUntilDorvaneCloses
    Push $1
    ${Do}
        Call ${UN}IsDorvaneRunning
        ${If} $0 = 1
            StrCpy $1 "$(DorvaneRunning)"
        ${Else}
            Call ${UN}AreDorvaneFilesInUse
            ${IfThen} $0 = 0 ${|} ${Break} ${|}
            StrCpy $1 "$(DorvaneInUse)"
        ${EndIf}
        DetailPrint "$1"
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1" /SD IDCANCEL IDRETRY +2
        Abort "$(DorvaneStillRunning)"
    ${Loop}
    Pop $1
FunctionEnd

!macroend
