# InstallPath names a folder without Ambergate.exe: the program tries the companion with the usual
# command line, says that it is missing and that it terminates, shows no icon and ends with 0.
source "$E2E_DRIVER/lib.sh"
e2e_begin companion_missing

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR" without-companion
set_install_path "$DIR"
reg_dump "$MAKER_KEY"
SETTINGS_BEFORE=$REG

start_dorvane main "$DIR\\Dorvane.exe"
wait_msgbox Dorvane 30
run_pid main
check_eq "the message box belongs to the program" "$PID_OF" "$MSGBOX_PID"
check_eq "the message" "$(c_escape 'File "Ambergate.exe" not found!'$'\n\n''Terminating.')" "$MSGBOX_TEXT"
check_eq "the message box has no owner" 0000000000000000 "$MSGBOX_OWNER"
check_eq "its only button" "OK" "$MSGBOX_BUTTONS"
check "no icon while the message is shown" icon_absent
mv "$ARTIFACTS/tray.png" "$ARTIFACTS/screen-with-message.png"
created_processes main
check_eq "the one attempt to start the companion" "app=$DIR\\Ambergate.exe $DIR\\Ambergate.exe 236 \"Dorvane_is1\"" "$CREATED"

answer_msgbox Dorvane Return
wait_exit main 20
check_eq "exit status" 0 "$EXIT_STATUS"
reg_dump "$MAKER_KEY"
check_eq "the settings key is unchanged" "$SETTINGS_BEFORE" "$REG"
e2e_pass
