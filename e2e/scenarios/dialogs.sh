# The dialogs in English, read back from the running program with the wide calls and kept as
# screenshots: the password prompt of a locked drive refuses a wrong password and takes the right
# one; the opening then shows the auto-close countdown, which counts down and ends by itself; a click
# on the icon during the countdown ends it at once; About's Help opens the help page from the install
# folder; Options takes a new hot key and saves it. (No drive stands behind D:, so the door itself
# does not move under Wine: only the program's side of it is checked.)
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

PASSWORD=open-sesame
prepare() {
    one_cd_drive
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' Locked 1
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' Password "$PASSWORD"
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' AutoCloseAllowed 1
    setup_reg 'HKEY_CURRENT_USER\Software\Ostrelle\Dorvane' AutoCloseTime 5
    # The help page goes to a browser that does nothing, so no real one starts; pages open through a
    # plain command, without the DDE conversation of Wine's own association, which keeps the shell
    # waiting.
    setup_reg 'HKEY_CURRENT_USER\Software\Wine\WineBrowser' Browsers true
    SETUP_REG+='
[HKEY_CLASSES_ROOT\.html]
@="DorvaneHelpPage"

[HKEY_CLASSES_ROOT\DorvaneHelpPage\shell\open\command]
@="C:\\windows\\system32\\winebrowser.exe \"%1\""
'
}
E2E_DEADLINE=${E2E_DEADLINE:-120}
e2e_begin dialogs prepare

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
cp "$E2E_DRIVER/../../help/help.html" "$(unix_path "$DIR")/"
set_install_path "$DIR"
start_dorvane main "$DIR\\Dorvane.exe"
wait_for 30 "the program's icon" icon_shown

# type_password: the right password into the prompt, then Return.
type_password() {
    focus_dialog Password
    xdo type --delay 50 "$PASSWORD"
    read_dialog Password || fail "the prompt went away while the password was typed"
    check_eq "the prompt holds the password" "$PASSWORD" "$(control_text 1031)"
    xdo key Return
}

# seconds_shown: the countdown's number, from the dialog read last.
seconds_shown() { control_text 1014; }

# ---- the password prompt -----------------------------------------------------------------------
click_icon 1
wait_dialog Password 10
check_eq "the prompt's label" "Type your password:" "$(control_text 1027)"
check_eq "the prompt's buttons" "OK,Cancel" "$(control_text 1),$(control_text 2)"
check "the password edit hides what is typed" grep -q '^control id=1031 class="Edit" visible=1 enabled=1 password ' <<<"$DIALOG_CONTROLS"
check_eq "the edit has the keyboard" 1031 "$DIALOG_FOCUS"
dialog_shot password-prompt
focus_dialog Password
xdo type --delay 50 wrong-one
read_dialog Password
check_eq "the edit holds what was typed" wrong-one "$(control_text 1031)"
xdo key Return
wait_msgbox Dorvane 10
check_eq "a wrong password is refused" "$(c_escape $'Password is not valid!\n\nPlease try again.')" "$MSGBOX_TEXT"
answer_msgbox Dorvane Return
wait_for 10 "the refusal to go" no_msgbox Dorvane
read_dialog Password || fail "the prompt went away after a wrong password"
focus_dialog Password
# The refused text is selected: typing replaces it.
xdo type --delay 50 "$PASSWORD"
read_dialog Password
check_eq "the typed password replaced the refused one" "$PASSWORD" "$(control_text 1031)"
xdo key Return

# ---- the countdown after the opening -----------------------------------------------------------
wait_dialog Auto-closure 10
SHOWN_AT=${EPOCHREALTIME/./}
check_eq "the password prompt is gone" "" "$(inspect dialog Password | tr -d '\r')"
check_eq "the countdown's label" "the drive will be closed in" "$(control_text 1013)"
check_eq "the countdown's buttons and keys" "Close!,Pause,Cancel,<Enter>,<Space>,<Esc>" \
    "$(control_text 1),$(control_text 3),$(control_text 2),$(control_text 1015),$(control_text 1017),$(control_text 1018)"
FIRST=$(seconds_shown)
check "the countdown starts at AutoCloseTime (5) or has just ticked ($FIRST)" matches "$FIRST" '^[54]$'
dialog_shot countdown
counted_to() { read_dialog Auto-closure && [ "$(seconds_shown)" = "$1" ]; }
wait_for 8 "the countdown at 0" counted_to 0
wait_for 4 "the countdown to end by itself" no_dialog Auto-closure
LASTED=$(((${EPOCHREALTIME/./} - SHOWN_AT) / 100000))
log "the countdown lasted about $LASTED tenths of a second after it was first read"
check "the countdown did not end at once (${LASTED} tenths of a second)" [ "$LASTED" -ge 40 ]

# The countdown's end closed the door (in the program's eyes): once the tooltip says so, the next
# click is an opening again, which asks for the password, and shows the countdown again.
point_at_icon
wait_for 10 "the tooltip to offer the opening again" tooltip_is "Eject CD"
click_icon 1
wait_dialog Password 10
type_password
wait_dialog Auto-closure 10
LEFT=$(seconds_shown)
check "the second countdown has time left when the icon is clicked ($LEFT)" [ "$LEFT" -ge 3 ]
# A click on the icon during the countdown ends it at once and closes the door: the click after it
# is an opening again, which asks for the password; Cancel leaves the door as it is.
click_icon 1
wait_for 2 "the click to end the countdown at once" no_dialog Auto-closure
point_at_icon
wait_for 10 "the tooltip to offer the opening again" tooltip_is "Eject CD"
check "no prompt for the click's closing" no_dialog Password
click_icon 1
wait_dialog Password 10
focus_dialog Password
xdo key Escape
wait_for 5 "the prompt to go after Escape" no_dialog Password
sleep 0.5
check_eq "a cancelled prompt opens nothing (no countdown)" "" "$(inspect dialog Auto-closure | tr -d '\r')"

# ---- About and its Help ------------------------------------------------------------------------
tray_menu_keys Up Up Return
wait_dialog "About Dorvane" 10
check_eq "About's texts" "Dorvane version 2.4.1|Written by the Ostrelle team, 2026|&Help|Dorvane home&page|&e-mail|OK" \
    "$(control_text 1011)|$(control_text 1012)|$(control_text 1003)|$(control_text 1002)|$(control_text 1001)|$(control_text 1)"
dialog_shot about
focus_dialog "About Dorvane"
click_control 1003
wait_for 15 "About to close after Help" no_dialog "About Dorvane"
help_opened() {
    created_processes main
    SEEN=$CREATED
    grep -qiF 'help.html' <<<"$CREATED"
}
wait_for 10 "a process started for the help page" help_opened
log "started for Help: $CREATED"
check "the help page went to Wine's browser launcher" grep -qi 'winebrowser' <<<"$CREATED"
check "no error box after Help" no_msgbox Dorvane

# ---- Options: a new hot key --------------------------------------------------------------------
tray_menu_keys Up Up Up Return
wait_dialog Options 10
check_eq "Options' texts" \
    " General | CD drive |Hot key to open/close the drive:|&Default|&Auto-close the drive|Time to close the drive:|s|&Password protect the drive|&Change...| Advanced |CD Player's location:|&Browse...|OK|Cancel" \
    "$(control_text 1029)|$(control_text 1026)|$(control_text 1013)|$(control_text 1019)|$(control_text 1022)|$(control_text 1015)|$(control_text 1017)|$(control_text 1028)|$(control_text 1030)|$(control_text 1027)|$(control_text 1014)|$(control_text 1021)|$(control_text 1)|$(control_text 2)"
check "the lock and the auto-close are checked" grep -q 'id=1028 .* checked=1 .*' <<<"$DIALOG_CONTROLS"
check_has_line "the hot key shows the default (Control+Alt+Space)" "$(grep -o 'id=1018 .*hotkey=0x[0-9A-F]*' <<<"$DIALOG_CONTROLS" | sed 's/.*hotkey=//')" 0x0620
focus_dialog Options
click_control 1018
xdo key ctrl+shift+q
read_dialog Options
check_eq "the hot-key control took Control+Shift+Q" 0x0351 "$(grep -o 'id=1018 .*hotkey=0x[0-9A-F]*' <<<"$DIALOG_CONTROLS" | sed 's/.*hotkey=//')"
dialog_shot options
click_control 1
wait_for 10 "Options to close" no_dialog Options
reg_dump "$SETTINGS_KEY"
check_has_line "HotKey holds Control+Shift+Q in decimal" "$REG" 'value "HotKey" REG_SZ size=4 data="849"'

tray_menu_keys Up Return
wait_dialog Password 10
type_password
wait_exit main 20
check_eq "Exit after the password ends the program with 0" 0 "$EXIT_STATUS"
e2e_pass
