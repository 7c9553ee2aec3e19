# InstallPath names a folder without Ambergate.exe: the program tries the companion with the usual
# command line, says in a box of its own that it is missing and that it terminates, shows no icon,
# ends with 0 once answered and leaves the settings as they were.
source "$E2E_DRIVER/lib.sh"
e2e_begin companion_missing

install_dorvane "$INSTALL_DIR" without-companion
set_install_path "$INSTALL_DIR"
SETTINGS=$(reg_dump "$MAKER_KEY")
start_dorvane main "$INSTALL_DIR\\Dorvane.exe"
BOX=$(wait_msgbox Dorvane 30)
check_eq "the program's message box, owned by nobody" \
    "pid=$(run_pid main) owner=0000000000000000 buttons=OK text=File \\\"Ambergate.exe\\\" not found!\\n\\nTerminating." "$BOX"
check "no icon while the message is shown" icon_shows none screen-with-message
check_eq "the one attempt to start the companion" \
    "app=$INSTALL_DIR\\Ambergate.exe $INSTALL_DIR\\Ambergate.exe 236 \"Dorvane_is1\"" "$(created_processes main)"
press_in Dorvane Return
check_eq "exit status" 0 "$(wait_exit main 20)"
check_eq "the settings key is unchanged" "$SETTINGS" "$(reg_dump "$MAKER_KEY")"
e2e_pass
