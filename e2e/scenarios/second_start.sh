# Two starts with the install folder on the command line (as a shortcut or the installer starts the
# program; no InstallPath at all). The second start also runs the companion, then says in a box of
# its own that the program is already running and ends with 0 once answered; the first one keeps
# running with its icon. Each start's companion notes the command line it was given.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
e2e_begin second_start one_cd_drive

DIR='C:\Tools\Dorvane'
HANDSHAKE="$DIR\\Ambergate.exe 236 \"Dorvane_is1\""
install_dorvane "$DIR"
start_dorvane first "$DIR\\Dorvane.exe" "$DIR"
wait_for 30 "the first start's icon" icon_shows 151
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

wait_for 15 "both companions' log lines" companion_logged 2
check_eq "the companion's log" "$HANDSHAKE"$'\n'"$HANDSHAKE" "$(companion_log)"
exit_from_menu first
check_eq "no settings were written" "missing \"$(c_escape "$MAKER_KEY")\"" "$(reg_dump "$MAKER_KEY")"
e2e_pass
