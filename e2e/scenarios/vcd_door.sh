# The door of a drive we control: a left click on the icon opens it (the drive's tray is open, the
# tooltip offers "Close CD"), a second click closes it (and the tooltip offers "Eject CD"). With a
# slow tray the hourglass icon shows
# while the door moves, and the no-disc icon while the tray stands open. The hot key
# Control+Alt+Space toggles the door too, delivered as Wine delivers it: to the focused tray window.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
    trace_calls user32.LoadImageA winmm.mciSendStringA
}
e2e_begin vcd_door prepare

start_installed

# The hourglass (158) is black and white on yellow, without the blue of the other two icons.
hourglass_shown() {
    tray_shot tray-door-moving
    SEEN="$ICON_BLUE blue and $ICON_YELLOW yellow pixels in the first icon slot"
    ((ICON_YELLOW >= 100 && ICON_BLUE < 5))
}

# door_calls: the program's tray pictures (LoadImageA, which it calls for each one it shows) and door
# commands in order since the mark set by mark_trace, one a line: "icon N" or "mci TEXT". Wine's
# tray does not clear an icon's transparent parts when the next one comes, so after the hourglass
# the order of the calls tells the pictures apart, not the pixels.
door_calls() {
    DOOR_CALLS=$(program_trace 'Call (user32\.LoadImageA|winmm\.mciSendStringA)\(' |
        perl -ne 'if (/LoadImageA\(\w+,(\w+),/) { printf "icon %d\n", hex $1 }
                  elsif (/mciSendStringA\(\w+ "(set [^"]*)"/) { print "mci $1\n" }')
}
calls_are() {
    door_calls
    SEEN=$(tr '\n' '|' <<<"$DOOR_CALLS")
    [ "$DOOR_CALLS" = "$1" ]
}

mci_log_has() {
    SEEN=$(vcd log d | tail -n 20 | tr '\n' '|')
    vcd log d | grep -qxF "$1"
}

check "the tray is closed at the start" door_is d closed
click_icon 1
wait_for 20 "the tray to open" door_is d open
check "the program moved the door through its own alias" mci_log_has "set cd4open door open wait"
point_at_icon
wait_for 15 "the tooltip to offer closing" tooltip_is "Close CD"
move_mouse_away

click_icon 1
wait_for 20 "the tray to close" door_is d closed
check "the program closed the door through its alias" mci_log_has "set cd4open door closed wait"
wait_for 15 "the tooltip to offer opening" tooltip_is "Eject CD"
move_mouse_away
wait_for 15 "the ordinary icon with the disc back in" icon_shown

# A slow tray: the call waits 2.5 s for it, and the program shows the hourglass meanwhile; once the
# tray stands open the program finds nothing to read and shows the no-disc icon (190), and after
# closing the ordinary one (151) again, once each.
vcd slow d 2500
mark_trace
click_icon 1
move_mouse_away
wait_for 10 "the tray to start opening" door_is d opening
wait_for 10 "the hourglass icon while the door opens" hourglass_shown
wait_for 20 "the tray to open" door_is d open
wait_for 10 "the no-disc icon once the tray stands open" calls_are "icon 158
mci set cd4open door open wait
icon 151
icon 190"
click_icon 1
move_mouse_away
wait_for 10 "the tray to start closing" door_is d closing
wait_for 10 "the hourglass icon while the door closes" hourglass_shown
wait_for 20 "the tray to close" door_is d closed
wait_for 10 "the pictures in order: hourglass, back, no disc; hourglass, back, disc again" calls_are "icon 158
mci set cd4open door open wait
icon 151
icon 190
icon 158
mci set cd4open door closed wait
icon 190
icon 151"
vcd slow d 0

# The hot key: Wine hands it over only while one of its windows has the keyboard focus.
press_hot_key() {
    local tray
    tray=$(xdo search --onlyvisible --name '^Wine System Tray$' | head -n1)
    [ -n "$tray" ] || fail "no tray window to focus"
    xdo windowfocus --sync "$tray" || fail "could not focus the tray window"
    xdo key --clearmodifiers ctrl+alt+space
    log "pressed Control+Alt+Space"
}
press_hot_key
wait_for 20 "the hot key to open the tray" door_is d open
press_hot_key
wait_for 20 "the hot key to close the tray" door_is d closed

tray_menu_keys Up Return
wait_exit main 20
check_eq "Exit ends the program with 0" 0 "$EXIT_STATUS"
e2e_pass
