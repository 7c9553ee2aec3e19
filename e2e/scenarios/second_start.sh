# Two starts with the install folder on the command line (as a shortcut or the installer starts
# the program; no InstallPath at all). The second start also runs the companion, then says the
# program is already running and ends with 0 once answered; the first one keeps running.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
e2e_begin second_start one_cd_drive

DIR='C:\Tools\Dorvane'
HANDSHAKE="$DIR\\Ambergate.exe 236 \"Dorvane_is1\""
install_dorvane "$DIR"

start_dorvane first "$DIR\\Dorvane.exe" "$DIR"
wait_for 30 "the first start's icon" icon_shown
created_processes first
check_eq "the first start's companion, from the command line's folder" "app=$DIR\\Ambergate.exe $HANDSHAKE" "$CREATED"

start_dorvane second "$DIR\\Dorvane.exe" "$DIR"
wait_msgbox Dorvane 30
run_pid second
check_eq "the message box belongs to the second start" "$PID_OF" "$MSGBOX_PID"
check_eq "the message" "$(c_escape 'The program is already running!')" "$MSGBOX_TEXT"
check_eq "the message box has no owner" 0000000000000000 "$MSGBOX_OWNER"
check_eq "its only button" "OK" "$MSGBOX_BUTTONS"
check "the second start waits for the answer" is_running second
created_processes second
check_eq "the second start's companion" "app=$DIR\\Ambergate.exe $HANDSHAKE" "$CREATED"

answer_msgbox Dorvane Return
wait_exit second 20
check_eq "the second start's exit status" 0 "$EXIT_STATUS"
check "the first start still runs" is_running first
check "its icon is still there" icon_shown

# Each start's companion noted the command line it was given.
two_log_lines() { companion_log && [ "$(grep -c . <<<"$COMPANION_LOG")" -ge 2 ]; }
wait_for 15 "both companions' log lines" two_log_lines
check_eq "the companion's log" "$HANDSHAKE"$'\n'"$HANDSHAKE" "$COMPANION_LOG"

tray_menu_keys Up Return
wait_exit first 20
check_eq "the first start's exit status after Exit" 0 "$EXIT_STATUS"
reg_dump "$MAKER_KEY"
check_eq "no settings were written" "missing \"$(c_escape "$MAKER_KEY")\"" "$REG"
e2e_pass
