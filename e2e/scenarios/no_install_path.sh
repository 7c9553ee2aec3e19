# No command line and no InstallPath: the program says it cannot read its information, shows no
# icon, starts no companion and ends with 0 once answered. Once with no settings key at all, once
# with a settings key that lacks InstallPath.
source "$E2E_DRIVER/lib.sh"
e2e_begin no_install_path

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"

# run_without_path LABEL: one start and its checks.
run_without_path() {
    start_dorvane "$1" "$DIR\\Dorvane.exe"
    wait_msgbox Dorvane 30
    run_pid "$1"
    check_eq "$1: the message box belongs to the program" "$PID_OF" "$MSGBOX_PID"
    check_eq "$1: the message" "$(c_escape 'Failed to read information.')" "$MSGBOX_TEXT"
    check_eq "$1: the message box has no owner" 0000000000000000 "$MSGBOX_OWNER"
    check_eq "$1: its only button" "OK" "$MSGBOX_BUTTONS"
    check "$1: no icon while the message is shown" icon_absent
    mv "$ARTIFACTS/tray.png" "$ARTIFACTS/$1-screen.png"
    answer_msgbox Dorvane Return
    wait_exit "$1" 20
    check_eq "$1: exit status" 0 "$EXIT_STATUS"
    created_processes "$1"
    check_eq "$1: no process was started" "" "$CREATED"
}

run_without_path no-key
reg_dump "$MAKER_KEY"
check_eq "no-key: nothing was written" "missing \"$(c_escape "$MAKER_KEY")\"" "$REG"

win reg add "$SETTINGS_KEY" /v Language /d 1 /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" || fail "could not write Language"
reg_dump "$MAKER_KEY"
SETTINGS_BEFORE=$REG
run_without_path key-without-path
reg_dump "$MAKER_KEY"
check_eq "key-without-path: the settings key is unchanged" "$SETTINGS_BEFORE" "$REG"

companion_log
check_eq "the companion never ran" "" "$COMPANION_LOG"
e2e_pass
