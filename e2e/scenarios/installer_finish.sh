# The setup with its pages, run by an administrator for all users, ends with "Run Dorvane" ticked.
# The user at the desktop need not be the account that ran the setup, whose InstallPath that user
# lacks: the finish page starts Dorvane through the installed shortcut, which hands the program its
# folder, by way of the desktop's shell (the setup runs elevated, as Wine's user always is).
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/setup_lib.sh"
e2e_begin installer_finish one_cd_drive

DIR=$INSTALL_DIR
TITLE='Dorvane Setup'
start_setup finish en_US.UTF-8
click_control "$(wait_setup_page "$TITLE" welcome)" 1
PAGE=$(wait_setup_page "$TITLE" users)
check "for all users by default" grep -q '^control id=1201 class="Button" visible=1 .* checked=1 ' <<<"$PAGE"
click_control "$PAGE" 1
PAGE=$(wait_setup_page "$TITLE" folder)
check_eq "the folder offered" "$(c_escape "$DIR")" "$(shown_text "$PAGE" 1019)"
click_control "$PAGE" 1
PAGE=$(wait_setup_page "$TITLE" finish)
check_eq "the finish page offers to run Dorvane" "$(nsis_text English MUI_TEXT_FINISH_RUN)" "$(shown_text "$PAGE" 1203)"
check "ticked" grep -q '^control id=1203 class="Button" visible=1 .* checked=1 ' <<<"$PAGE"
dialog_shot "$PAGE" setup-finish-en

# The account at the desktop has no InstallPath of its own.
win reg delete "$SETTINGS_KEY" /v InstallPath /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" || fail "could not delete InstallPath"
click_control "$PAGE" 1
check_eq "the setup's exit code" 0 "$(wait_exit finish 30)"

wait_for 30 "Dorvane's icon" icon_shows 151
check "no \"Failed to read information.\" (nor any other message)" no_msgbox Dorvane
wait_for 15 "the companion's log line" companion_logged
check_eq "the companion ran from the install folder" "$DIR\\Ambergate.exe 236 \"Dorvane_is1\"" "$(companion_log)"
# The command lines of every program started from the setup on (Wine's process trace of the setup
# and of the programs it started, whichever process made the call).
CREATED=$(created_processes finish '[0-9a-f]{4}')
check_has_line "the setup handed the shortcut to the desktop's shell" "$CREATED" \
    "app=(null) \"C:\\windows\\explorer.exe\" \"$DIR\\Dorvane.lnk\""
check_has_line "Dorvane started with its folder on the command line" "$CREATED" "app=(null) \"$DIR\\Dorvane.exe\" $DIR"

# As it came, it goes: Exit in its menu.
tray_menu_keys Up Return
wait_for 20 "the icon to leave" icon_shows none
e2e_pass
