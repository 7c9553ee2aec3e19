# Dorvane running in another user's session: no window of it on this desktop, but its .exe in use
# (held open as Windows holds a running program's). The setup says so, in Russian and in English,
# where NSIS would stop on "Error opening file for writing"; a silent one gives up with exit code 2
# and changes nothing; once that user has left Dorvane, Retry completes the setup. The uninstaller
# leaves everything in place, its programs-list entry and itself included, while a program file is
# in use or could not be deleted, and removes everything once the files are free.
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/setup_lib.sh"
e2e_begin installer_in_use one_cd_drive

DIR='C:\Program Files\Dorvane'
EN_TITLE='Dorvane Setup'
RU_TITLE='Установка Dorvane'
run_setup /S
check_eq "the first installation's exit code" 0 "$SETUP_STATUS"
# A mark of the installation as it is, which another setup would replace.
PAGE=$(unix_path "$DIR")/help.html
echo "<html>the installed version's guide</html>" >"$PAGE"

use_file other "$DIR\\Dorvane.exe"
run_setup /S
check_eq "the silent setup gives up while another session's Dorvane holds its files" 2 "$SETUP_STATUS"
check "the installed page is still there" grep -q "installed version" "$PAGE"

# A user whose Windows speaks Russian.
start_setup russian ru_RU.UTF-8
wait_setup_page "$RU_TITLE" welcome
check_eq "the welcome page speaks Russian" "$(nsis_text Russian MUI_TEXT_WELCOME_INFO_TITLE)" "$(page_control_text 1201)"
setup_shot setup-welcome-ru
click_in_page 1
wait_setup_page "$RU_TITLE" users
click_in_page 1
wait_setup_page "$RU_TITLE" folder
check_eq "the folder offered is the installation's" "$(c_escape "$DIR")" "$(page_control_text 1019)"
click_in_page 1
wait_setup_msgbox "$RU_TITLE"
check_eq "the setup says in Russian that Dorvane's files are in use" \
    "$(setup_text ru DorvaneInUse "$DIR")" "$SETUP_MSGBOX_TEXT"
check "... in Cyrillic letters" in_cyrillic "$SETUP_MSGBOX_TEXT"
setup_shot setup-in-use-ru
click_in_msgbox 2
wait_setup_page "$RU_TITLE" ended
check_eq "the progress page says in Russian that nothing was changed" \
    "$(setup_text ru DorvaneStillRunning "$DIR")" "$(page_control_text 1006)"
click_in_page 2
wait_exit russian 20
check_eq "the cancelled setup's exit code" 2 "$EXIT_STATUS"
check "the installed page is still there" grep -q "installed version" "$PAGE"

# In English; that user then leaves Dorvane, and Retry goes on.
start_setup english en_US.UTF-8
wait_setup_page "$EN_TITLE" welcome
click_in_page 1
wait_setup_page "$EN_TITLE" users
click_in_page 1
wait_setup_page "$EN_TITLE" folder
click_in_page 1
wait_setup_msgbox "$EN_TITLE"
check_eq "the setup says in English that Dorvane's files are in use" \
    "$(setup_text en DorvaneInUse "$DIR")" "$SETUP_MSGBOX_TEXT"
check_eq "the message offers Retry and Cancel" "&Retry,Cancel" "$SETUP_MSGBOX_BUTTONS"
setup_shot setup-in-use-en
release_file other
click_in_msgbox 4
wait_setup_page "$EN_TITLE" finish
# Not started from here this time: the finish page's start has its own scenario.
run_unticked() { _setup_shows "$EN_TITLE" finish && grep -q '^control id=1203 .* checked=0 ' <<<"$SETUP_PAGE"; }
click_in_page 1203
wait_for 10 "Run Dorvane unticked" run_unticked
click_in_page 1
wait_exit english 30
check_eq "the setup's exit code after Retry" 0 "$EXIT_STATUS"
check "the page is the new version's" cmp -s "$E2E_DRIVER/../../help/help.html" "$PAGE"

INSTALLED="Ambergate.exe
Dorvane.exe
Dorvane.lnk
Uninstall.exe
help.html
help_r.html"
ENTRY="$(c_escape "$UNINSTALL_KEY_64")"

# The uninstaller while that user runs Dorvane again: nothing goes.
use_file other "$DIR\\Dorvane.exe"
run_quiet_uninstall "$UNINSTALL_KEY_64" /reg:64
installed_files "$DIR"
check_lines "every file stays while Dorvane.exe is in use" "$INSTALLED" "$FILES"
reg_dump "$UNINSTALL_KEY_64" /reg:64
check_has_line "the programs-list entry stays" "$REG" "key \"$ENTRY\""
release_file other

# A program that lets others write the file but not delete it (a viewer, a scanner): the file is
# not in use as a running program's is, but it cannot be deleted; the entry and the uninstaller stay.
use_file viewer "$DIR\\Dorvane.exe" write
run_quiet_uninstall "$UNINSTALL_KEY_64" /reg:64
installed_files "$DIR"
check_lines "Dorvane.exe, the uninstaller and the rest stay when Dorvane.exe cannot be deleted" \
    "$(grep -vx Ambergate.exe <<<"$INSTALLED")" "$FILES"
reg_dump "$UNINSTALL_KEY_64" /reg:64
check_has_line "the programs-list entry stays with Dorvane.exe" "$REG" "key \"$ENTRY\""
release_file viewer

# Free at last: the removal goes through.
run_quiet_uninstall "$UNINSTALL_KEY_64" /reg:64
check "the install folder is gone" test ! -e "$(unix_path "$DIR")"
reg_dump "$UNINSTALL_KEY_64" /reg:64
check_eq "the programs-list entry is gone" "missing \"$ENTRY\"" "$REG"
e2e_pass
