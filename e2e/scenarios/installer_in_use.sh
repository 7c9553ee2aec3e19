# Dorvane running in another user's session: no window of it on this desktop, but its .exe in use
# (held open as Windows holds a running program's). The setup says so, in Russian and in English,
# where NSIS would stop on "Error opening file for writing"; Cancel changes nothing (the silent setup
# gives up by the same Abort: installer_upgrade.sh); once that user has left Dorvane, Retry completes
# the setup. The uninstaller leaves everything in place, its programs-list entry and itself included,
# while a program file is in use or could not be deleted, and removes everything once files are free.
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/setup_lib.sh"
e2e_begin installer_in_use one_cd_drive

DIR=$INSTALL_DIR
ENTRY="key \"$(c_escape "$UNINSTALL_KEY_64")\""
check_eq "the first installation's exit code" 0 "$(run_setup /S)"
# A mark of the installation as it is, which another setup would replace.
PAGE=$(unix_path "$DIR")/help.html
echo "<html>the installed version's guide</html>" >"$PAGE"

use_file other "$DIR\\Dorvane.exe"

# to_message TITLE LANGUAGE: the setup started, through its pages to the message, which is held to
# the setup's own text (installer/lang_LANGUAGE.nsh) and kept as a screenshot; prints the message box.
to_message() {
    local page box
    page=$(wait_setup_page "$1" welcome)
    if [ "$2" = ru ]; then
        check_eq "the welcome page speaks Russian" "$(nsis_text Russian MUI_TEXT_WELCOME_INFO_TITLE)" "$(shown_text "$page" 1201)"
        dialog_shot "$page" setup-welcome-ru
    fi
    click_control "$page" 1
    click_control "$(wait_setup_page "$1" users)" 1
    page=$(wait_setup_page "$1" folder)
    check_eq "the folder offered is the installation's" "$(c_escape "$DIR")" "$(shown_text "$page" 1019)"
    click_control "$page" 1
    box=$(wait_setup_msgbox "$1")
    check_eq "the setup says in $2 that Dorvane's files are in use" "$(setup_text "$2" DorvaneInUse "$DIR")" \
        "$(shown_text "$box" 65535)"
    dialog_shot "$(setup_window "$1" page)" "setup-in-use-$2"
    echo "$box"
}

# A user whose Windows speaks Russian: the pages and the message in Russian; Cancel.
start_setup russian ru_RU.UTF-8
BOX=$(to_message 'Установка Dorvane' ru)
check "... in Cyrillic letters" in_cyrillic "$(shown_text "$BOX" 65535)"
click_control "$BOX" 2
check_eq "the progress page says in Russian that nothing was changed" "$(setup_text ru DorvaneStillRunning "$DIR")" \
    "$(shown_text "$(wait_setup_page 'Установка Dorvane' ended)" 1006)"
click_control "$(setup_window 'Установка Dorvane' page)" 2
check_eq "the cancelled setup's exit code" 2 "$(wait_exit russian 20)"
check "the installed page is still there" grep -q "installed version" "$PAGE"

# In English; that user then leaves Dorvane, and Retry goes on (without starting it: the finish
# page's start has its own scenario).
start_setup english en_US.UTF-8
BOX=$(to_message 'Dorvane Setup' en)
check_eq "the message offers Retry and Cancel" "&Retry,Cancel" "$(shown_buttons "$BOX")"
release_file other
click_control "$BOX" 4
click_control "$(wait_setup_page 'Dorvane Setup' finish)" 1203
wait_for 10 "Run Dorvane unticked" eval 'setup_window "Dorvane Setup" page | grep -q "^control id=1203 .* checked=0 "'
click_control "$(setup_window 'Dorvane Setup' page)" 1
check_eq "the setup's exit code after Retry" 0 "$(wait_exit english 30)"
check "the page is the new version's" cmp -s "$E2E_DRIVER/../../help/help.html" "$PAGE"

# The uninstaller while that user runs Dorvane again, or while a viewer holds Dorvane.exe open that
# lets others write it but not delete it: the files (all, or all but the companion, which went
# first) and the programs-list entry stay. Once free, everything goes.
INSTALLED=$(printf '%s\n' Ambergate.exe Dorvane.exe Dorvane.lnk Uninstall.exe help.html help_r.html)
for holder in other: viewer:write; do
    use_file "${holder%:*}" "$DIR\\Dorvane.exe" ${holder#*:}
    run_quiet_uninstall "$UNINSTALL_KEY_64" /reg:64
    check_lines "the files stay while ${holder%:*} holds Dorvane.exe" "$INSTALLED" "$(installed_files "$DIR")"
    check_has_line "the programs-list entry stays" "$(reg_dump "$UNINSTALL_KEY_64" /reg:64)" "$ENTRY"
    release_file "${holder%:*}"
    INSTALLED=$(grep -vx Ambergate.exe <<<"$INSTALLED")
done
run_quiet_uninstall "$UNINSTALL_KEY_64" /reg:64
check "the install folder is gone" test ! -e "$(unix_path "$DIR")"
check_eq "the programs-list entry is gone" "missing \"$(c_escape "$UNINSTALL_KEY_64")\"" "$(reg_dump "$UNINSTALL_KEY_64" /reg:64)"
e2e_pass
