# The dialogs as the running program shows them, read back with the wide calls, held to
# tests/expect/dialogs_english.txt and dialogs_russian.txt (which the host suite reads too) and kept
# as screenshots; Russian under an English locale (code page 1252), where only the wide calls show
# Cyrillic. On a locked drive we control: the right password opens the door; the countdown then
# closes it by itself. About's Help opens the help page through the shell; Options takes a new hot
# key and saves it.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

PASSWORD=open-sesame
prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
    setup_settings Locked=1 Password=$PASSWORD AutoCloseAllowed=1 AutoCloseTime=3
    # The help page goes to a browser that does nothing, through a plain command: Wine's own
    # association holds a DDE conversation that keeps the shell waiting.
    setup_reg 'HKEY_CURRENT_USER\Software\Wine\WineBrowser' Browsers true
    setup_reg 'HKEY_CLASSES_ROOT\.html' @ DorvaneHelpPage
    setup_reg 'HKEY_CLASSES_ROOT\DorvaneHelpPage\shell\open\command' @ 'C:\windows\system32\winebrowser.exe "%1"'
}
e2e_begin dialogs prepare
start_installed
cp "$E2E_DRIVER/../../help/help.html" "$(unix_path "$INSTALL_DIR")/"

# title LANGUAGE ID: dialog ID's title. shown LANGUAGE ID: waits for the dialog, holds it to the
# expectation, keeps a screenshot and prints it. unlock LANGUAGE: the password into the prompt.
title() { expected "dialogs_$1.txt" | sed -nE "s/^$2 ([^|]*)\|.*/\1/p"; }
shown() {
    local dialog
    dialog=$(wait_dialog "$(title "$1" "$2")" 10)
    check_eq "dialog $2 in $1" "$(expected "dialogs_$1.txt" | grep "^$2 ")" "$("$PARSE" dialog "$2" <<<"$dialog")"
    dialog_shot "$dialog" "dialog-$2-$1"
    echo "$dialog"
}
unlock() {
    type_in "$(title "$1" 109)" "$PASSWORD"
    press_in "$(title "$1" 109)" Return
}

# every_dialog LANGUAGE: the password prompt opens the locked door, the countdown closes it again by
# itself; About (left by its Help in English), Options and its password change; Options stays.
every_dialog() {
    click_icon 1
    shown "$1" 109 >/dev/null
    unlock "$1"
    wait_for 10 "the password to open the door" door_is d open
    shown "$1" 107 >/dev/null
    wait_for 8 "the countdown to close the door by itself" door_is d closed
    tray_menu_keys Up Up Return
    click_control "$(shown "$1" 105)" "$([ "$1" = english ] && echo 1003 || echo 1)"
    wait_for 10 "About to close" no_dialog "$(title "$1" 105)"
    tray_menu_keys Up Up Up Return
    click_control "$(shown "$1" 106)" 1030
    shown "$1" 108 >/dev/null
    press_in "$(title "$1" 108)" Escape
    wait_for 10 "the password change to close" no_dialog "$(title "$1" 108)"
}

every_dialog english
wait_for 10 "the help page handed to Wine's browser launcher" eval 'created_processes main | grep -i "winebrowser.*help.html"'
check "no error box after Help" no_msgbox Dorvane
# A new hot key in Options, Control+Shift+Q (0x0351), saved on OK.
OPTIONS=$(read_dialog Options)
focus_window Options
click_control "$OPTIONS" 1018
xdo key ctrl+shift+q
click_control "$OPTIONS" 1
check_has_line "HotKey holds it in decimal" "$(wait_for 10 "Options to close" no_dialog Options; reg_dump "$SETTINGS_KEY")" \
    'value "HotKey" REG_SZ size=4 data="849"'

# From the Language pop-up (Up from nothing selected is Exit, four of them Language) to "Русский".
tray_menu_keys Up Up Up Up Right Down Down Return
every_dialog russian
# Exit with Options open: Options goes, the prompt asks.
tray_menu_keys Up Return
wait_dialog Пароль 10 >/dev/null
unlock russian
check_eq "Exit after the password ends the program with 0" 0 "$(wait_exit main 20)"
e2e_pass
