# The tray menu of a machine with two CD-ROM drives under an English locale (ANSI code page 1252),
# read back from inside the running program: below the drive items it is tests/expect/menu_english.txt
# (the host suite reads it too), then menu_russian.txt after "Русский" is chosen in the Language
# pop-up, and again after Exit and a new start. The Russian texts come out as Cyrillic letters only
# when the program shows them through the wide calls (code page 1251 bytes handed to the ANSI calls
# would read "Ïðîâîäíèê" here); how the choice is saved is the host suite's to check. Screenshots of
# the open menu with its Language pop-up are kept.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    add_cd_drive d AUDIO_CD
    add_cd_drive e DATA_DISC
}
e2e_begin menu_languages prepare
check_eq "the ANSI code page is 1252, not Cyrillic" acp=1252 "$(inspect codepage | cut -d' ' -f1)"

# menu_is LABEL LANGUAGE: opens the menu and holds it, once the poller has updated it, to the
# expectation: the drive items first, with their labels, D: (drive 0) checked; below them the
# expected items, but for the blank track lines that the poller takes away. Which items the poller
# greys is the host suite's to check: the states below the drive items are left out.
menu_is() {
    open_tray_menu
    wait_menu "$1" "$1: the menu in $2" '40201 " [D:] AUDIO_CD" 166 147
40202 " [E:] DATA_DISC" 166 147 state 0'$'\n'"$(expected "menu_$2.txt" | grep -vE '^  4002[01] ')" \
        sed -E '/^402[0-9]{2} /!s/ state [0-9]+//'
    menu_keys Escape
}

# language_shot LABEL NAME: the menu opened afresh (Wine does not repaint an open menu's items when
# the poller changes them) with its Language pop-up open (Up from nothing selected is Exit, the
# fourth Up Language), kept as NAME.png; the menu stays open.
language_shot() {
    open_tray_menu
    menu_keys Up Up Up Up Right
    menu_shot "$1" "$2"
}

install_dorvane
set_install_path "$INSTALL_DIR"
start_dorvane first "$INSTALL_DIR\\Dorvane.exe"
wait_for 30 "the program's icon" icon_shows 151
menu_is first english
language_shot first menu-english
# Past English to "Русский".
menu_keys Down Down Return
menu_is first russian
language_shot first menu-russian
menu_keys Escape Escape
exit_from_menu first

start_dorvane second "$INSTALL_DIR\\Dorvane.exe"
wait_for 30 "the new start's icon" icon_shows 151
menu_is second russian
exit_from_menu second
e2e_pass
