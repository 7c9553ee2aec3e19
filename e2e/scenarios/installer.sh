# The way in and the way out on a fresh 64-bit machine: the silent setup puts the x64 build and its
# files in place for all users, with InstallPath, the shortcuts and the programs-list entry; the
# silent uninstaller leaves the machine's files and
# registry as they were before the setup, apart from the settings, which it keeps; it also takes the
# StartUp copy of the shortcut out of every user's profile, and nothing else.
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/setup_lib.sh"
e2e_begin installer one_cd_drive

DIR=$INSTALL_DIR
START_MENU_LINK='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Dorvane.lnk'
# Two more users of the machine, one of whom starts a program of their own at logon.
add_profile S-1-5-21-0-0-0-1001 REG_EXPAND_SZ '%SystemDrive%\users\ilse'
add_profile S-1-5-21-0-0-0-1002 REG_SZ 'C:\users\oskar'
echo "their own" >"$(profile_startup '%SystemDrive%\users\ilse')/Notes.lnk"
snapshot before

check_eq "the silent setup's exit code" 0 "$(run_setup /S)"
check_lines "the install folder" "$(printf '%s\n' Ambergate.exe Dorvane.exe Dorvane.lnk Uninstall.exe help.html help_r.html)" \
    "$(installed_files "$DIR")"
for file in "$DORVANE_BIN"/{Dorvane,Ambergate}.exe "$E2E_DRIVER"/../../help/help{,_r}.html; do
    check "${file##*/} is the x64 build's or the sources' own" cmp -s "$file" "$(unix_path "$DIR")/${file##*/}"
done
check_eq "InstallPath, and nothing else in the settings" "key \"$(c_escape "$SETTINGS_KEY")\"
value \"InstallPath\" REG_SZ size=25 data=\"$(c_escape "$DIR")\"" "$(reg_dump "$SETTINGS_KEY")"

ENTRY=$(reg_dump "$UNINSTALL_KEY_64" /reg:64)
UNINSTALLER="\"$DIR\\Uninstall.exe\" /AllUsers"
check_lines "the programs-list entry for all users" "key \"$(c_escape "$UNINSTALL_KEY_64")\"
value \"DisplayIcon\" REG_SZ data=\"$(c_escape "$DIR\\Dorvane.exe")\"
value \"DisplayName\" REG_SZ data=\"Dorvane\"
value \"DisplayVersion\" REG_SZ data=\"2.4.1\"
value \"EstimatedSize\" REG_DWORD data=SIZE
value \"InstallLocation\" REG_SZ data=\"$(c_escape "$DIR")\"
value \"NoModify\" REG_DWORD data=0x00000001
value \"NoRepair\" REG_DWORD data=0x00000001
value \"Publisher\" REG_SZ data=\"Ostrelle\"
value \"QuietUninstallString\" REG_SZ data=\"$(c_escape "$UNINSTALLER /S")\"
value \"UninstallString\" REG_SZ data=\"$(c_escape "$UNINSTALLER")\"" "$(sed -E 's/^(value "[A-Za-z]+" REG_[A-Z]+) size=[0-9]+/\1/;
    s/(EstimatedSize" REG_DWORD) data=0x[0-9a-f]+$/\1 data=SIZE/' <<<"$ENTRY" | LC_ALL=C sort)"
# The size is the folder's, in KB: the two programs and pages are most of it.
SIZE=$(($(sed -nE 's/^value "EstimatedSize" REG_DWORD data=(0x[0-9a-f]+)$/\1/p' <<<"$ENTRY")))
FOLDER_KB=$(du -k --apparent-size -s "$(unix_path "$DIR")" | cut -f1)
check "EstimatedSize ($SIZE KB) is the install folder's size ($FOLDER_KB KB)" [ $((SIZE - FOLDER_KB)) -le 8 -a $((FOLDER_KB - SIZE)) -le 8 ]
# Written in the 64-bit view only, where the x64 program's entry belongs: an entry in the 32-bit view
# too would show twice in the programs list.
check_eq "no entry in the 32-bit view" "missing \"$(c_escape "$UNINSTALL_KEY_64")\"" "$(reg_dump "$UNINSTALL_KEY_64" /reg:32)"

# The Start-menu shortcut names what the install folder's does (its texts: the target, the folder
# handed to the program also for a user without InstallPath, which installer_finish.sh starts so, the
# icon); only the folder's time in its item list differs, as the second was made after the first.
LINKS=("$(unix_path "$DIR")/Dorvane.lnk" "$(unix_path "$START_MENU_LINK")")
check_eq "the Start-menu shortcut's texts" "$(strings -el "${LINKS[0]}")" "$(strings -el "${LINKS[1]}")"

# What the users and the program add before the removal: a setting, and the StartUp copy of the
# shortcut that Options makes (a plain copy of the install folder's one), for this user (in the
# folder that Shell Folders names) and for the two others, who ticked the box in their sessions.
win reg add "$SETTINGS_KEY" /v Language /d 0 /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" || fail "could not write Language"
for folder in "$(unix_path "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' StartUp)")" \
    "$(profile_startup '%SystemDrive%\users\ilse')" "$(profile_startup 'C:\users\oskar')"; do
    cp "$(unix_path "$DIR")/Dorvane.lnk" "$folder/" || fail "could not copy the shortcut into $folder"
done
run_quiet_uninstall "$UNINSTALL_KEY_64" /reg:64
restart_wine
snapshot after
check_lines "the machine after the uninstaller: as before, the setting kept" \
"+ [HKEY_CURRENT_USER\\Software\\Ostrelle]
+ [HKEY_CURRENT_USER\\Software\\Ostrelle\\Dorvane]
+ [HKEY_CURRENT_USER\\Software\\Ostrelle\\Dorvane] \"Language\"=\"0\"" "$(snapshot_diff before after)"
e2e_pass
