# Explorer restarts under the running program: its notification area forgets the icon, and the new
# taskbar broadcasts "TaskbarCreated". After the program opened the door, the icon comes back with
# the picture and the tooltip of that moment (the no-disc picture and "Close CD"), not those of the
# start, and a click on it still moves the door.
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

click_icon 1
wait_for 20 "the tray to open" door_is d open
move_mouse_away
# The disc lies on the open tray: the program shows the no-disc picture (the icon stays in its slot,
# so its pixels cannot tell; the restart draws it afresh).
sleep 1.5

shell_forgets_icon
wait_for 10 "the icon to be gone" icon_shows none tray-open-forgotten
shell_announces_taskbar
wait_for 15 "the icon back with the no-disc picture" icon_shows 190 tray-open-back
point_at_icon
wait_for 15 "the tooltip back" tooltip_is "Close CD"
move_mouse_away
check "the program added its icon again" matches "$(tray_calls main)" ' NIM_ADD$'

click_icon 1
wait_for 20 "the tray to close on a click on the restored icon" door_is d closed
e2e_pass
