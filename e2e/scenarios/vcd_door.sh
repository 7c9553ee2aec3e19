# The door of a drive we control: a left click on the icon opens it and the tooltip offers "Close
# CD"; a second click closes it and the tooltip offers "Eject CD". The opening click sends the MCI
# commands of tests/expect/door_toggle.mci (the host suite holds the simulated MCI to the same file):
# the program's own mciSendStringA calls with their results, and the virtual drive's log, which lacks
# the commands that MCI refused before any driver saw them ("not open: "). With a slow tray the
# hourglass shows while the door moves, then the no-disc picture on the open tray and the ordinary one
# after closing, each once. The hot key Control+Alt+Space moves the door too, delivered as Wine
# delivers it: to the focused notification area.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
    trace_calls user32.LoadImageA winmm.mciSendStringA
}
e2e_begin vcd_door prepare
cp "$EXPECT_DIR/door_toggle.mci" "$ARTIFACTS/"
start_installed

# A few ticks first: the click comes to a program that has settled. With the menu closed and no lock
# the poller sends nothing, so everything from the mark on is the click's.
sleep 1.5
MARK=$(trace_mark main)
vcd clear-log d
click_icon 1
wait_for 20 "the tray to open" door_is d open
wait_for 5 "the drive to see the commands that reach a driver" vcd_log_is d \
    "$(expected door_toggle.mci | grep -v '^not open: ')"
calls() { program_calls main "$MARK" | sed -n 's/^mci //p'; }
within 5 eval '[ "$(calls)" = "$(expected door_toggle.mci)" ]'
check_lines "the program's calls and their results are the expected ones" "$(expected door_toggle.mci)" "$(calls)"
point_at_icon
wait_for 15 "the tooltip to offer closing" tooltip_is "Close CD"
click_icon 1
wait_for 20 "the tray to close" door_is d closed
wait_for 15 "the tooltip to offer opening" tooltip_is "Eject CD"

# moves_are MARK EXPECTED: the pictures loaded and the door commands sent since MARK ("icon 158|mci set ...").
moves_are() {
    local seen
    seen=$(program_calls main "$1" | grep -E '^(icon |mci set )' | paste -sd'|')
    echo "$seen"
    [ "$seen" = "$2" ]
}

# A slow tray: the door command waits 2.5 s for it, and the program shows the hourglass meanwhile.
vcd slow d 2500
MARK=$(trace_mark main)
for move in open:opening closed:closing; do
    click_icon 1
    move_mouse_away
    wait_for 10 "the tray to start ${move#*:}" door_is d "${move#*:}"
    wait_for 10 "the hourglass while the tray is ${move#*:}" icon_shows 158 "tray-${move#*:}"
    wait_for 20 "the tray to be ${move%:*}" door_is d "${move%:*}"
done
wait_for 10 "hourglass, back, no disc; hourglass, back, the disc again" moves_are "$MARK" "icon 158|mci set cd4open \
door open wait|icon 151|icon 190|icon 158|mci set cd4open door closed wait|icon 190|icon 151"
vcd slow d 0

press_in 'Wine System Tray' ctrl+alt+space
wait_for 20 "the hot key to open the tray" door_is d open
press_in 'Wine System Tray' ctrl+alt+space
wait_for 20 "the hot key to close the tray" door_is d closed
exit_from_menu
e2e_pass
