# The usual start: InstallPath written by the installer, the companion beside the program. The icon
# shows in the notification area with its tooltip, the companion runs once with the handshake
# arguments, no window of the program is visible, and Exit ends the program with 0, takes the icon
# away and leaves the settings as the installer wrote them.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
e2e_begin tray_icon one_cd_drive

HANDSHAKE="$INSTALL_DIR\\Ambergate.exe 236 \"Dorvane_is1\""
start_installed
SETTINGS=$(reg_dump "$MAKER_KEY")
check_eq "the settings before the start" "key \"$(c_escape "$MAKER_KEY")\"
key \"$(c_escape "$SETTINGS_KEY")\"
value \"InstallPath\" REG_SZ size=25 data=\"$(c_escape "$INSTALL_DIR")\"" "$SETTINGS"
check_eq "no window of the program is visible" "" "$(inspect windows | grep -F " pid=$(run_pid main) ")"
point_at_icon
wait_for 15 "the icon's tooltip" tooltip_is "Eject CD"
move_mouse_away
# The program file and the command line exactly as the program handed them to CreateProcessA, and
# the companion's own note that it ran with that command line, blanks and all.
check_eq "the one process started" "app=$INSTALL_DIR\\Ambergate.exe $HANDSHAKE" "$(created_processes main)"
wait_for 15 "the companion's log line" companion_logged
check_eq "the companion ran once with the handshake" "$HANDSHAKE" "$(companion_log)"

exit_from_menu
wait_for 10 "the icon to leave the notification area" icon_shows none tray-after-exit
# Wine also drops the icons of windows that are gone: the program's own last call must be the deletion.
check "the program deleted its icon last" matches "$(tray_calls main)" ' NIM_DELETE$'
check_eq "the settings: InstallPath alone, as the installer wrote it" "$SETTINGS" "$(reg_dump "$MAKER_KEY")"
e2e_pass
