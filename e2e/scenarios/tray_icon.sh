# The usual start: InstallPath written by the installer, the companion beside the program.
# The icon shows in the notification area with its tooltip, the companion runs with the handshake
# arguments, the main window stays hidden, and Exit from the tray menu ends the program with 0,
# takes the icon away and leaves the settings as they were.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
e2e_begin tray_icon one_cd_drive

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
set_install_path "$DIR"
reg_dump "$MAKER_KEY"
SETTINGS_BEFORE=$REG
check_eq "the settings before the start" "key \"$(c_escape "$MAKER_KEY")\"
key \"$(c_escape "$SETTINGS_KEY")\"
value \"InstallPath\" REG_SZ size=25 data=\"$(c_escape "$DIR")\"" "$SETTINGS_BEFORE"

start_dorvane main "$DIR\\Dorvane.exe"
wait_for 30 "our icon (blue CD, yellow diamond) in the notification area" icon_shown
mv "$ARTIFACTS/tray.png" "$ARTIFACTS/tray-icon-shown.png"
log "icon pixels: $ICON_BLUE blue, $ICON_YELLOW yellow"
check "the program keeps running with its icon" is_running main

visible_windows_of main
check_eq "no window of the program is visible" "" "$WINDOWS_OF"

point_at_icon
wait_for 15 "the icon's tooltip" tray_tooltip
check_eq "the tooltip" "Eject CD" "$TOOLTIP"
move_mouse_away

# The program file and the command line exactly as the program handed them to CreateProcessA,
# and the companion's own note that it ran with that command line, blanks and all.
HANDSHAKE="$DIR\\Ambergate.exe 236 \"Dorvane_is1\""
created_processes main
check_eq "the one process started, as passed to CreateProcess" "app=$DIR\\Ambergate.exe $HANDSHAKE" "$CREATED"
wait_for 15 "the companion's log line" companion_logged
check_eq "the companion ran once with the handshake" "$HANDSHAKE" "$COMPANION_LOG"

tray_menu_keys Up Return
wait_exit main 20
check_eq "exit status after Exit" 0 "$EXIT_STATUS"
wait_for 10 "the icon to leave the notification area" icon_absent
mv "$ARTIFACTS/tray.png" "$ARTIFACTS/tray-after-exit.png"
# Wine also drops the icons of windows that are gone, so the picture alone cannot tell whether the
# program took its icon away itself: its own last Shell_NotifyIcon call must be the deletion.
tray_calls main
check "the program deleted its icon last (its calls: $TRAY_CALLS)" [ "${TRAY_CALLS##* }" = NIM_DELETE ]

reg_dump "$MAKER_KEY"
check_eq "the settings: InstallPath alone, as the installer wrote it" "$SETTINGS_BEFORE" "$REG"
e2e_pass
