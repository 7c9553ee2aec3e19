# Starts with the install folder on the command line, as a shortcut or the setup starts the program
# (no InstallPath at all). The first shows its icon with its tooltip and no window, and runs the
# companion once with the handshake arguments; a second start also runs the companion, then says in
# a box of its own that the program is already running and ends with 0 once answered, while the
# first keeps running. Exit ends the first with 0 and takes the icon away. With no companion in the
# folder a start says so in a box of its own, shows no icon and ends with 0. No start writes a setting.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
e2e_begin starts one_cd_drive

DIR='C:\Tools\Dorvane'
HANDSHAKE="$DIR\\Ambergate.exe 236 \"Dorvane_is1\""
install_dorvane "$DIR"
start_dorvane first "$DIR\\Dorvane.exe" "$DIR"
wait_for 30 "the first start's icon" icon_shows 151
check_eq "no window of the program is visible" "" "$(inspect windows | grep -F " pid=$(run_pid first) ")"
point_at_icon
wait_for 15 "the icon's tooltip" tooltip_is "Eject CD"
move_mouse_away
# The program file and the command line exactly as the program handed them to CreateProcessA.
check_eq "the first start's companion, from the command line's folder" "app=$DIR\\Ambergate.exe $HANDSHAKE" \
    "$(created_processes first)"

start_dorvane second "$DIR\\Dorvane.exe" "$DIR"
BOX=$(wait_msgbox Dorvane 30)
check_eq "the second start's message box, owned by nobody" \
    "pid=$(run_pid second) owner=0000000000000000 buttons=OK text=The program is already running!" "$BOX"
check "the second start waits for the answer" is_running second
check_eq "the second start's companion" "app=$DIR\\Ambergate.exe $HANDSHAKE" "$(created_processes second)"
press_in Dorvane Return
check_eq "the second start's exit status" 0 "$(wait_exit second 20)"
check "the first start still runs" is_running first
check "its icon is still there" icon_shows 151
# The companion's own note of the command line it was given, blanks and all.
wait_for 15 "both companions' log lines" companion_logged 2
check_eq "the companion's log" "$HANDSHAKE"$'\n'"$HANDSHAKE" "$(companion_log)"

exit_from_menu first
wait_for 10 "the icon to leave the notification area" icon_shows none tray-after-exit
# Wine also drops the icons of windows that are gone: the program's own last call must be the deletion.
check "the program deleted its icon last" matches "$(tray_calls first)" ' NIM_DELETE$'

rm "$(unix_path "$DIR")/Ambergate.exe" || fail "could not take the companion away"
start_dorvane third "$DIR\\Dorvane.exe" "$DIR"
BOX=$(wait_msgbox Dorvane 30)
check_eq "the missing companion's message box, owned by nobody" \
    "pid=$(run_pid third) owner=0000000000000000 buttons=OK text=File \\\"Ambergate.exe\\\" not found!\\n\\nTerminating." "$BOX"
check "no icon while the message is shown" icon_shows none screen-with-message
check_eq "the one attempt to start the companion" "app=$DIR\\Ambergate.exe $HANDSHAKE" "$(created_processes third)"
press_in Dorvane Return
check_eq "its exit status" 0 "$(wait_exit third 20)"
check_eq "no settings were written" "missing \"$(c_escape "$MAKER_KEY")\"" "$(reg_dump "$MAKER_KEY")"
e2e_pass
