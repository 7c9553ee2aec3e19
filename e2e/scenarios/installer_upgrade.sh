# Installing over an earlier installation: a per-user one (/CurrentUser) goes to the user's own
# programs folder with its entry under HKCU; while Dorvane runs from there the silent setup refuses
# (exit code 2) and changes nothing; after Exit a plain silent setup finds that installation,
# replaces its files and keeps the user's settings as they were. Its uninstaller takes the StartUp
# copy of the shortcut out of this user's folder and leaves the other users' alone.
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/setup_lib.sh"
e2e_begin installer_upgrade one_cd_drive

check_eq "the per-user setup's exit code" 0 "$(run_setup /S /CurrentUser)"
DIR=$(reg_value "$SETTINGS_KEY" InstallPath)
check "InstallPath ($DIR) is the user's own programs folder" matches "$DIR" '^C:\\users\\[^\\]+\\AppData\\Local\\Programs\\Dorvane$'
check_eq "the user's entry uninstalls in the user's mode" "\"$DIR\\Uninstall.exe\" /CurrentUser /S" \
    "$(reg_value "$UNINSTALL_KEY_USER" QuietUninstallString)"
check "the user's Start-menu shortcut exists" \
    test -f "$(unix_path "${DIR%\\AppData\\Local\\Programs\\Dorvane}")/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Dorvane.lnk"

# The user's settings as the program saved them, and a page of the earlier version.
for setting in Language=0 HotKey=1604 AutoCloseTime=30 Password=Secret; do
    win reg add "$SETTINGS_KEY" /v "${setting%%=*}" /d "${setting#*=}" /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
        fail "could not write $setting"
done
SETTINGS=$(reg_dump "$SETTINGS_KEY")
PAGE=$(unix_path "$DIR")/help.html
echo "<html>the earlier version's guide</html>" >"$PAGE"

start_dorvane main "$DIR\\Dorvane.exe"
wait_for 30 "our icon in the notification area" icon_shows 151
check_eq "the silent setup gives up while Dorvane runs from the folder" 2 "$(run_setup /S)"
check "Dorvane is still running" is_running main
check "the earlier page is still there" grep -q "earlier version" "$PAGE"

exit_from_menu
check_eq "the upgrade's exit code" 0 "$(run_setup /S)"
check "the page is the new version's" cmp -s "$E2E_DRIVER/../../help/help.html" "$PAGE"
check "Dorvane.exe is the new build's" cmp -s "$DORVANE_BIN/Dorvane.exe" "$(unix_path "$DIR")/Dorvane.exe"
check_lines "the settings and InstallPath, untouched" "$SETTINGS" "$(reg_dump "$SETTINGS_KEY")"
# An entry for all users that the per-user setup or the upgrade wrote: in neither registry view.
for view in /reg:64 /reg:32; do
    check_eq "no entry for all users ($view)" "missing \"$(c_escape "$UNINSTALL_KEY_64")\"" \
        "$(reg_dump "$UNINSTALL_KEY_64" $view)"
done

# This user and another one of the machine (with this user's installation in their StartUp too,
# a copy of their own) start Dorvane at logon.
add_profile S-1-5-21-0-0-0-1001 REG_EXPAND_SZ '%SystemDrive%\users\ilse'
OWN_STARTUP=$(unix_path "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' StartUp)")
OTHER_STARTUP=$(profile_startup '%SystemDrive%\users\ilse')
for folder in "$OWN_STARTUP" "$OTHER_STARTUP"; do
    cp "$(unix_path "$DIR")/Dorvane.lnk" "$folder/" || fail "could not copy the shortcut into $folder"
done
run_quiet_uninstall "$UNINSTALL_KEY_USER" /reg:64
check "the installation is gone" test ! -e "$(unix_path "$DIR")"
check "this user's StartUp copy is gone" test ! -e "$OWN_STARTUP/Dorvane.lnk"
check "the other user's StartUp copy stays: a per-user removal is no business of theirs" test -f "$OTHER_STARTUP/Dorvane.lnk"
e2e_pass
