# Two drives we control, D: and E:, with MCI's "Default Drive" holding bytes of its own that name D:.
# [E:] chosen in the tray menu is saved at once; a click on the icon then opens E:'s tray and leaves
# D:'s alone: the program aims "Default Drive" at E: (index 1) while the door moves, so that the
# cdaudio device it opens addresses E:, and afterwards puts the earlier bytes back before it opens
# the cdaudio device again (on D:).
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

MCI_KEY='HKLM\System\CurrentControlSet\Control\MediaResources\mci\cdaudio'
# Drive 0 in byte 0; the other bytes are not what the program would write, so that only a
# byte-for-byte restore gives them back.
EARLIER=00070009
prepare() {
    vcd_drive d
    vcd_drive e
    vcd audio d 04:12:33 03:01:10
    vcd audio e 05:00 02:30
    setup_reg_binary "HKEY_LOCAL_MACHINE\\${MCI_KEY#HKLM\\}" 'Default Drive' "$EARLIER"
}
e2e_begin vcd_drives prepare

# default_drive_is HEX: "Default Drive" holds exactly these bytes.
default_drive_is() {
    local value
    value=$(reg_dump "$MCI_KEY" | grep -F 'value "Default Drive"')
    echo "$value"
    [ "$value" = "value \"Default Drive\" type=3 size=$((${#1} / 2)) data=$1" ]
}

check "the setup wrote \"Default Drive\"" default_drive_is "$EARLIER"
start_installed
# [E:] is the second item of the menu.
tray_menu_keys Down Down Return
wait_for 10 "E: to be chosen and saved" eval 'reg_dump "$SETTINGS_KEY" | grep -xF "value \"LastDrive\" REG_SZ size=2 data=\"1\""'
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
# Once the value is back the program holds the cdaudio device again, which then addresses D:.
wait_for 5 "D: to see only the device opened again" vcd_log_is d "open cdaudio"
check "D:'s tray stays closed" door_is d closed
exit_from_menu
e2e_pass
