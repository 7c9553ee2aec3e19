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
wait_for 15 "the normal picture" slot_shows 151 tray-before
point_at_icon
wait_for 15 "the tooltip before the restart" tooltip_is "Eject CD"
move_mouse_away

# ---- a restart with the door closed --------------------------------------------------------------
shell_forgets_icon
wait_for 10 "the icon to be gone" slot_shows none tray-forgotten
shell_announces_taskbar
wait_for 15 "the icon back with the normal picture (the diamond)" slot_shows 151 tray-back
point_at_icon
wait_for 15 "the tooltip back" tooltip_is "Eject CD"
move_mouse_away
program_tray_calls
check "the program added its icon again (its calls: $TRAY_CALLS)" matches "$TRAY_CALLS" ' NIM_ADD$'

# ---- the icon answers: a click opens the door ----------------------------------------------------
click_icon 1
wait_for 20 "the tray to open" door_is d open
point_at_icon
wait_for 15 "the tooltip to offer closing" tooltip_is "Close CD"
move_mouse_away
# The disc lies on the open tray: the program shows the no-disc picture (the icon stays in its slot,
# so its pixels cannot tell; the restart below draws it afresh).
sleep 1.5

# ---- a restart with the door open ----------------------------------------------------------------
shell_forgets_icon
wait_for 10 "the icon to be gone again" slot_shows none tray-forgotten-open
shell_announces_taskbar
wait_for 15 "the icon back with the no-disc picture (no diamond)" slot_shows 190 tray-back-open
point_at_icon
wait_for 15 "the tooltip still offers closing" tooltip_is "Close CD"

click_icon 1
wait_for 20 "the tray to close on a click on the restored icon" door_is d closed
move_mouse_away
point_at_icon
wait_for 15 "the tooltip to offer opening again" tooltip_is "Eject CD"
move_mouse_away
wait_for 15 "the normal picture with the disc back in" slot_shows 151 tray-after
check "the program kept running" is_running main
e2e_pass
