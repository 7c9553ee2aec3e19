; Whether the setup runs elevated, for starting the program as the user at the end.

!include LogicLib.nsh

; $0 := 1 when this process runs elevated under User Account Control with the user's own token
; split off (an administrator who confirmed the elevation prompt), else 0.
!macro ELEVATION_CHECK
Function IsElevatedSplitToken
    Push $1
    Push $2
    StrCpy $0 0
    ; TOKEN_QUERY; TokenElevationType (18) is TokenElevationTypeFull (2) in that case.
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2'
    ${If} $2 <> 0
        System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r2, i 4, *i)'
        ${IfThen} $2 = 2 ${|} StrCpy $0 1 ${|}
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    Pop $2
    Pop $1
FunctionEnd
!macroend
