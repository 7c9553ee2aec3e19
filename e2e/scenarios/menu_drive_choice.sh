# Two CD-ROM drives, D: and E:. Choosing [E:] in the tray menu moves the check mark to it and saves
# LastDrive "1" at once; the next start selects E:. Choosing the selected drive again saves
# nothing; choosing D: saves "0". The drive items are read back from inside the running program.
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    add_cd_drive d AUDIO_CD
    add_cd_drive e DATA_DISC
    trace_calls advapi32.RegSetValueExA
}
e2e_begin menu_drive_choice prepare

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
set_install_path "$DIR"

# Both drive items carry the information mark (checked) and the grey drive (unchecked); the
# selected one is checked. The poller adds the volume labels while the menu is open.
D_CHECKED='item 40201 " [D:] AUDIO_CD" type=0x200 state=0x8 checked=#166 unchecked=#147
item 40202 " [E:] DATA_DISC" type=0x200 checked=#166 unchecked=#147'
E_CHECKED='item 40201 " [D:] AUDIO_CD" type=0x200 checked=#166 unchecked=#147
item 40202 " [E:] DATA_DISC" type=0x200 state=0x8 checked=#166 unchecked=#147'

# drive_items LABEL WHAT EXPECTED: opens the menu and compares its drive items once the poller has
# updated them; the menu stays open.
drive_items() {
    open_tray_menu
    wait_menu "$1" "$2" "$3" '^item 402[0-9][0-9] '
}

start_dorvane first "$DIR\\Dorvane.exe"
wait_for 30 "the program's icon" icon_shown
drive_items first "no LastDrive yet: D: (drive 0) is selected" "$D_CHECKED"
# Nothing selected: Down selects [D:], the next Down [E:].
menu_keys Down Down Return
# The program handles the next right click after the command.
drive_items first "the check mark moved to E:" "$E_CHECKED"
menu_keys Escape
registry_writes first
check_eq "the program's registry writes: the MCI default drive created at start, then LastDrive" \
    "Default Drive type=3 size=4"$'\n'"LastDrive type=1 size=1" "$REG_WRITES"
reg_dump "$SETTINGS_KEY"
# The system keeps the terminator that it adds to a string counted without one.
check_has_line "LastDrive is 1" "$REG" 'value "LastDrive" REG_SZ size=2 data="1"'

tray_menu_keys Up Return
wait_exit first 20
check_eq "Exit ends the program with 0" 0 "$EXIT_STATUS"

start_dorvane second "$DIR\\Dorvane.exe"
wait_for 30 "the new start's icon" icon_shown
drive_items second "the new start selects E:" "$E_CHECKED"
# [E:] again: already selected, nothing happens. Then [D:].
menu_keys Down Down Return
open_tray_menu
menu_keys Down Return
drive_items second "D: is checked again" "$D_CHECKED"
menu_keys Escape
registry_writes second
check_eq "choosing E: again saved nothing; D: saved LastDrive once" "LastDrive type=1 size=1" "$REG_WRITES"
reg_dump "$SETTINGS_KEY"
check_has_line "LastDrive is 0" "$REG" 'value "LastDrive" REG_SZ size=2 data="0"'

tray_menu_keys Up Return
wait_exit second 20
e2e_pass
