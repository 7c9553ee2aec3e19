; The Dorvane setup program: one file that installs the x64 program on 64-bit Windows and the x86
; one elsewhere, for all users (Program Files, administrators) or for the current user alone, and
; the uninstaller that takes away everything it put in place.
;
; makensis -WX -DVERSION=2.4.1 -DBUILD_X64=<x64 build> -DBUILD_X86=<x86 build> -DHELP_DIR=<help>
;          -DOUTFILE=<setup.exe> [-DSETUP_AMD64] Dorvane.nsi
; SETUP_AMD64 makes a setup that itself runs as a 64-bit program (for a Wine without its 32-bit
; half); the shipped one is 32-bit so that every Windows can start it.
;
; Command line: /S (silent), /AllUsers or /CurrentUser (install mode), /D=<folder> (last).

Unicode true
ManifestDPIAware true
!ifdef SETUP_AMD64
    Target amd64-unicode
    ; A 64-bit setup knows at compile time that it runs on 64-bit Windows: LogicLib then leaves
    ; the x86 branches' labels unused.
    !pragma warning disable 6012
!endif

!macro REQUIRE NAME
    !ifndef ${NAME}
        !error "${NAME} must be given on the command line (see the top of this script)"
    !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE BUILD_X64
!insertmacro REQUIRE BUILD_X86
!insertmacro REQUIRE HELP_DIR
!insertmacro REQUIRE OUTFILE

!define SETTINGS_KEY "Software\Ostrelle\Dorvane"
!define MAKER_KEY "Software\Ostrelle"
; The companion's command line names the installation "Dorvane_is1".
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvane_is1"
!define UNINSTALLER "Uninstall.exe"
!define SHELL_FOLDERS_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
; Every user profile of the computer, each with its folder as ProfileImagePath (64-bit view).
!define PROFILE_LIST_KEY "Software\Microsoft\Windows NT\CurrentVersion\ProfileList"
; Where a profile's StartUp folder is unless its user moved it (Vista and later).
!define PROFILE_STARTUP "AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Startup"

Name "Dorvane"
OutFile "${OUTFILE}"
BrandingText "Dorvane ${VERSION}"
SetCompressor /SOLID lzma
; The same files make the same setup: the files' own dates would otherwise be stored with them.
SetDateSave off
; A file that cannot be written stops the setup (Retry or Cancel), also a silent one, instead of
; being skipped in a setup that then reports success.
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show

; Per-machine for administrators, per-user otherwise; /AllUsers and /CurrentUser choose on the
; command line, and the uninstall entry's command carries the mode it was installed in.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Dorvane"
; An earlier per-user installation (and none for all users) makes per-user the default.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!define MULTIUSER_INSTALLMODE_FUNCTION OnInstallModeChosen
!define MULTIUSER_INIT_TEXT_ADMINREQUIRED "$(AdminRequired)"
!define MULTIUSER_INIT_TEXT_POWERREQUIRED "$(AdminRequired)"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE "$(AllUsersNotPossible)"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include "running.nsh"
!include "elevation.nsh"

!define MUI_ICON "${BUILD_X64}/icons/dorvane.ico"
!define MUI_UNICON "${BUILD_X64}/icons/dorvane.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartDorvane
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems in neither language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"
!include /CHARSET=UTF8 "lang_en.nsh"
!include /CHARSET=UTF8 "lang_ru.nsh"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
!macro VERSION_KEYS LANG DESCRIPTION
    VIAddVersionKey /LANG=${LANG} "ProductName" "Dorvane"
    VIAddVersionKey /LANG=${LANG} "CompanyName" "Ostrelle"
    VIAddVersionKey /LANG=${LANG} "FileDescription" "${DESCRIPTION}"
    VIAddVersionKey /LANG=${LANG} "FileVersion" "${VERSION}"
    VIAddVersionKey /LANG=${LANG} "ProductVersion" "${VERSION}"
    VIAddVersionKey /LANG=${LANG} "LegalCopyright" "Ostrelle"
    VIAddVersionKey /LANG=${LANG} "OriginalFilename" "Dorvane-${VERSION}-setup.exe"
!macroend
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "Dorvane ${VERSION} Setup"
!insertmacro VERSION_KEYS ${LANG_RUSSIAN} "Установка Dorvane ${VERSION}"

!insertmacro DORVANE_RUNNING_CHECK ""
!insertmacro DORVANE_RUNNING_CHECK "un."
!insertmacro ELEVATION_CHECK

; ---- the setup -----------------------------------------------------------------------------------

Function .onInit
    ; The x64 program's entry belongs in the 64-bit registry, as Programs and Features reads it.
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    ; /D= is in $INSTDIR already; the install mode would overwrite it.
    StrCpy $0 $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

; An upgrade goes where the earlier installation of this mode is; a new one for all users goes to
; the Program Files folder that matches the program's build.
Function OnInstallModeChosen
    ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $1 != ""
        StrCpy $INSTDIR $1
    ${ElseIf} $MultiUser.InstallMode == "AllUsers"
    ${AndIf} ${RunningX64}
        StrCpy $INSTDIR "$PROGRAMFILES64\Dorvane"
    ${EndIf}
FunctionEnd

; The program takes its install directory without a trailing backslash.
Function TrimInstDir
    ${DoWhile} $INSTDIR != ""
        StrCpy $1 $INSTDIR 1 -1
        ${IfThen} $1 != "\" ${|} ${Break} ${|}
        StrCpy $INSTDIR $INSTDIR -1
    ${Loop}
FunctionEnd

Section "Dorvane" SectionProgram
    SectionIn RO
    Call TrimInstDir
    ; Nothing changes while the program runs from here: its files are in use.
    Call WaitUntilDorvaneCloses

    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File "${BUILD_X64}/Dorvane.exe"
        File "${BUILD_X64}/Ambergate.exe"
    ${Else}
        File "${BUILD_X86}/Dorvane.exe"
        File "${BUILD_X86}/Ambergate.exe"
    ${EndIf}
    File "${HELP_DIR}/help.html"
    File "${HELP_DIR}/help_r.html"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; Both shortcuts hand the program its folder on the command line, so that it starts for every
    ; user of the machine, also those without InstallPath. Options copies the first into StartUp.
    CreateShortcut "$INSTDIR\Dorvane.lnk" "$INSTDIR\Dorvane.exe" "$INSTDIR" "$INSTDIR\Dorvane.exe" 0
    CreateShortcut "$SMPROGRAMS\Dorvane.lnk" "$INSTDIR\Dorvane.exe" "$INSTDIR" "$INSTDIR\Dorvane.exe" 0

    ; The settings of an earlier installation stay as they are.
    WriteRegStr HKCU "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Dorvane"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Ostrelle"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dorvane.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; The finish page's "Run Dorvane", through the installed shortcut, which hands the program its folder:
; InstallPath was written for the account that ran the setup, which need not be the one at the
; desktop. An elevated setup hands the start to the desktop's shell, so that the program runs as
; the user and not elevated (the shell's notification-area messages do not reach an elevated window).
Function StartDorvane
    Call IsElevatedSplitToken
    ${If} $0 = 1
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\Dorvane.lnk"'
    ${Else}
        ExecShell "" "$INSTDIR\Dorvane.lnk"
    ${EndIf}
FunctionEnd

; ---- the uninstaller -----------------------------------------------------------------------------

Function un.onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

; The copies of Dorvane.lnk that Options put into StartUp folders: the user's own, where the program
; puts it (the Shell Folders key's folder), and for an installation for all users the one in every
; profile of this computer, at the StartUp folder's usual place (the uninstaller then runs elevated
; and may reach them). A StartUp folder its user moved elsewhere is out of sight.
Function un.RemoveStartupShortcuts
    ReadRegStr $1 HKCU "${SHELL_FOLDERS_KEY}" "StartUp"
    ${If} $1 != ""
        Delete "$1\Dorvane.lnk"
    ${EndIf}
    ${If} $MultiUser.InstallMode == "AllUsers"
        StrCpy $2 0
        ${Do}
            ClearErrors
            EnumRegKey $3 HKLM "${PROFILE_LIST_KEY}" $2
            ${If} ${Errors}
            ${OrIf} $3 == ""
                ${Break}
            ${EndIf}
            IntOp $2 $2 + 1
            ; REG_EXPAND_SZ on Windows ("%SystemDrive%\Users\..."), read as it is stored.
            ReadRegStr $4 HKLM "${PROFILE_LIST_KEY}\$3" "ProfileImagePath"
            ${If} $4 != ""
                ExpandEnvStrings $4 $4
                Delete "$4\${PROFILE_STARTUP}\Dorvane.lnk"
            ${EndIf}
        ${Loop}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.WaitUntilDorvaneCloses

    ; The programs first: while either stays (held open by a program this uninstaller cannot see),
    ; everything else stays too, the programs-list entry and the uninstaller included, so that the
    ; removal can be run again.
    Delete "$INSTDIR\Dorvane.exe"
    Delete "$INSTDIR\Ambergate.exe"
    ${If} ${FileExists} "$INSTDIR\Dorvane.exe"
    ${OrIf} ${FileExists} "$INSTDIR\Ambergate.exe"
        DetailPrint "$(DorvaneNotRemoved)"
        MessageBox MB_OK|MB_ICONSTOP "$(DorvaneNotRemoved)" /SD IDOK
        Abort "$(DorvaneNotRemoved)"
    ${EndIf}
    Delete "$INSTDIR\help.html"
    Delete "$INSTDIR\help_r.html"
    Delete "$INSTDIR\Dorvane.lnk"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only when empty: whatever else the user put there stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Dorvane.lnk"

    ; The companion's note of each start.
    Delete "$TEMP\Ambergate.log"

    Call un.RemoveStartupShortcuts

    DeleteRegKey SHCTX "${UNINSTALL_KEY}"

    DeleteRegValue HKCU "${SETTINGS_KEY}" "InstallPath"
    ; The settings are the program's other values; ask only when there are some (silent: keep).
    EnumRegValue $1 HKCU "${SETTINGS_KEY}" 0
    ${If} $1 != ""
        MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" /SD IDYES IDYES +2
        DeleteRegKey HKCU "${SETTINGS_KEY}"
    ${EndIf}
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
SectionEnd
