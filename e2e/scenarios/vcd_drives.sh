# Two drives we control, D: and E:, with MCI's "Default Drive" holding bytes of its own that name D:.
# [E:] chosen, a click opens E:'s tray alone: Wine lets the program write the value, so it aims it at
# E: (index 1) while the door moves and then puts the earlier bytes back before it holds the cdaudio
# device again (on D:). Then the key becomes read-only, as HKLM is to a standard user on Windows: the
# program's open for writing is refused, and both doors move through an alias naming the drive.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

MCI_KEY='HKLM\System\CurrentControlSet\Control\MediaResources\mci\cdaudio'
# Drive 0, in bytes that only a byte-for-byte restore gives back.
EARLIER=00070009
prepare() {
    vcd_drive d
    vcd_drive e
    vcd audio d 04:12:33 03:01:10
    vcd audio e 05:00 02:30
    setup_reg_binary "HKEY_LOCAL_MACHINE\\${MCI_KEY#HKLM\\}" 'Default Drive' "$EARLIER"
}
e2e_begin vcd_drives prepare

# has_value KEY LINE: the key holds the value as wininspect prints it.
has_value() {
    local value
    value=$(reg_dump "$1" | grep -F "${2%% type=*}")
    echo "$value"
    [ "$value" = "$2" ]
}
default_drive_is() { has_value "$MCI_KEY" "value \"Default Drive\" type=3 size=$((${#1} / 2)) data=$1"; }
last_drive_is() { has_value "$SETTINGS_KEY" "value \"LastDrive\" REG_SZ size=2 data=\"$1\""; }

start_installed
# [E:] is the second item of the menu.
tray_menu_keys Down Down Return
wait_for 10 "E: to be chosen and saved" last_drive_is 1
wait_for 10 "the menu to close" menu_closed
# Nothing reaches a drive while the menu is closed but what the click sends.
vcd clear-log d
vcd clear-log e
# A slow tray, to look at the registry while it moves.
vcd slow e 2000
click_icon 1
wait_for 10 "E:'s tray to start opening" door_is e opening
check "\"Default Drive\" names E: while its door moves" default_drive_is 01000000
wait_for 10 "E:'s tray to open" door_is e open
wait_for 10 "\"Default Drive\" to hold its earlier bytes again" default_drive_is "$EARLIER"
wait_for 5 "E:'s driver to see the door command on the program's alias" vcd_log_is e "open cdaudio alias cd4open shareable
set cd4open door open wait
close cd4open"
check "D:'s tray stays closed" door_is d closed
# Once the value is back the program holds the cdaudio device again (on D:), counting in tracks.
wait_for 5 "D: to see only the device held again" vcd_log_is d "open cdaudio
set cdaudio time format tmsf"

# A standard user's rights: the key becomes read-only; nothing is aimed, each door is named.
check_eq "the key refuses writing from now on" read-only "$(inspect reg-readonly "$MCI_KEY")"
vcd clear-log e
click_icon 1
wait_for 15 "E:'s tray to close" door_is e closed
wait_for 5 "E:'s door closed through an alias naming it" vcd_log_is e "open e: type cdaudio alias cd4open shareable
set cd4open door closed wait
close cd4open"
tray_menu_keys Down Return
wait_for 10 "D: to be chosen" last_drive_is 0
wait_for 10 "the menu to close" menu_closed
vcd clear-log d
click_icon 1
wait_for 15 "D:'s tray to open" door_is d open
wait_for 5 "D:'s door opened through an alias naming it" vcd_log_is d "close cdaudio
open d: type cdaudio alias cd4open shareable
set cd4open door open wait
close cd4open"
exit_from_menu
e2e_pass
