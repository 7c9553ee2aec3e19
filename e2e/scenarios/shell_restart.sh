# Explorer restarts under the running program: its notification area forgets the icon, and the new
# taskbar broadcasts "TaskbarCreated". The icon comes back with the picture and the tooltip it had
# (the normal picture with the disc in the closed drive; after the program opened the door, the
# no-disc picture and "Close CD"), and a click on it still moves the door.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/desktop_lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd data d DORVANE_DATA
}
e2e_begin shell_restart prepare
start_installed

# restart PICTURE TIP NAME: Explorer restarts; the icon comes back with PICTURE and tooltip TIP.
restart() {
    shell_forgets_icon
    wait_for 10 "the icon to be gone" icon_shows none "$3-forgotten"
    shell_announces_taskbar
    wait_for 15 "the icon back with picture $1" icon_shows "$1" "$3-back"
    point_at_icon
    wait_for 15 "the tooltip back" tooltip_is "$2"
    move_mouse_away
    check "the program added its icon again" matches "$(tray_calls main)" ' NIM_ADD$'
}

restart 151 "Eject CD" tray-closed

click_icon 1
wait_for 20 "the tray to open" door_is d open
point_at_icon
wait_for 15 "the tooltip to offer closing" tooltip_is "Close CD"
move_mouse_away
# The disc lies on the open tray: the program shows the no-disc picture (the icon stays in its slot,
# so its pixels cannot tell; the restart draws it afresh).
sleep 1.5
restart 190 "Close CD" tray-open

click_icon 1
wait_for 20 "the tray to close on a click on the restored icon" door_is d closed
move_mouse_away
point_at_icon
wait_for 15 "the tooltip to offer opening again" tooltip_is "Eject CD"
move_mouse_away
wait_for 15 "the normal picture with the disc back in" icon_shows 151 tray-after
check "the program kept running" is_running main
e2e_pass
