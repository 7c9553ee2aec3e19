# What is in a drive we control, as the icon and the open menu show it: a data disc greys the CD Audio
# pop-up (one track) while the disc's folder items stay usable; with the tray closed on nothing the
# icon turns to the no-disc picture (190), the summary line says so and Autoplay and the pop-up are
# greyed (Explore and Open follow whether the system can read the volume); an audio disc with an
# autorun.inf brings the ordinary icon (151) back and every one of those items usable.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd data d
    trace_calls user32.LoadImageA
}
e2e_begin vcd_discs prepare

start_installed

# The pictures the program gave the tray since the last mark_trace, in order ("151 190 ..."): it
# loads each one it shows. Wine's tray keeps an icon's old pixels where the next one is transparent,
# so the calls tell 151 and 190 apart where a screenshot cannot.
icons_are() {
    SEEN=$(program_trace 'Call user32\.LoadImageA\(' |
        sed -E 's/.*LoadImageA\([0-9a-f]+,([0-9a-f]+),.*/\1/' | while read -r id; do printf '%d\n' "0x$id"; done | paste -sd' ')
    [ "$SEEN" = "$1" ]
}

# The disc lines of the open menu once the poller has written them: the summary line's text and the
# states of Explore, Open, Autoplay and the CD Audio pop-up (checked 0x8 or checked and greyed 0xB;
# the highlight of a selected item left out).
disc_items() {
    perl -ne 'my $s = /state=0x([0-9A-Fa-f]+)/ ? sprintf("0x%X", hex($1) & 0xB) : "0x0";
              print "$1 $s\n" if /^item (4000[159]) /;
              print "audio $s\n" if /^popup " CD &Audio"/;
              print "40019 $1\n" if /^  item 40019 ("[^"]*")/' <<<"$MENU"
}
disc_items_are() {
    read_menu main || return 1
    SEEN=$(disc_items | tr '\n' '|')
    [ "$(disc_items)" = "$1" ]
}

# look_at_menu WHAT EXPECTED SHOT: opens the menu, waits for its disc lines, keeps a screenshot as SHOT.png
# and closes the menu again.
look_at_menu() {
    open_tray_menu
    wait_for 10 "$1" disc_items_are "$2"
    menu_shot main "$3"
    menu_keys Escape
    wait_for 10 "the menu to close" eval '! _find_menu'
}

# A data disc: one track, so no CD Audio; its volume reads, so Explore and Open work; no autorun.inf.
look_at_menu "a data disc's menu" '40001 0x8
40005 0x8
40009 0xB
audio 0xB
40019 " DATA OR NO DISC LOADED "' menu-data-disc

# The disc comes out and the tray goes back in empty, all between two ticks of the poller or nearly.
mark_trace
vcd eject d && vcd remove d && vcd push d || fail "could not take the disc out"
check "the tray is closed" door_is d closed
wait_for 10 "the no-disc icon for the empty drive" icons_are 190
# A few more ticks: the closed, empty drive keeps it.
sleep 1.5
check "the no-disc icon stays while the empty tray is closed" icons_are 190
tray_shot tray-empty
# The disc items follow whether the system can read the drive's volume: Windows cannot with no disc;
# Wine's mount manager still answers for a folder drive (with an empty label).
drive_line d
log "the system reports: $DRIVE_LINE"
if matches "$DRIVE_LINE" ' label=none$'; then folder_state=0xB; else folder_state=0x8; fi
look_at_menu "an empty drive's menu" "40001 $folder_state
40005 $folder_state
40009 0xB
audio 0xB
40019 \" NO DISC LOADED \"" menu-empty

# An audio CD with an autorun.inf.
mark_trace
vcd eject d && vcd audio d 04:12:33 03:01:10 && vcd autorun d 'setup.exe /auto' && vcd push d ||
    fail "could not put the audio disc in"
wait_for 10 "the ordinary icon with the disc in" icons_are 151
wait_for 10 "the ordinary icon on screen" icon_shown
look_at_menu "an audio disc's menu" '40001 0x8
40005 0x8
40009 0x8
audio 0x8
40019 " Total: 07 m 13 s     "' menu-audio-disc

tray_menu_keys Up Return
wait_exit main 20
check_eq "Exit ends the program with 0" 0 "$EXIT_STATUS"
e2e_pass
