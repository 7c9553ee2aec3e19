# What is in a drive we control, as the icon and the open menu show it: a data disc greys the CD Audio
# pop-up (one track) while the disc's folder items stay usable; with the tray closed on nothing the
# icon turns to the no-disc picture (190), the summary line says so and Autoplay and the pop-up are
# greyed (Explore and Open follow whether the system can read the volume); an audio disc with an
# autorun.inf brings the ordinary icon (151) back and every one of those items usable. With the menu
# closed and no lock the program has no tick: the icon follows the disc within a second, told by the
# system (the drive broadcasts WM_DEVICECHANGE as Windows does).
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd data d
    trace_calls user32.LoadImageA user32.SetTimer user32.KillTimer
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
# The tick (timer 1001, 0x3e9) is off: since the start it has been killed as often as it was set.
tick_off() {
    run_pid main
    local calls
    calls=$(grep -aoE "^$PID_OF:[0-9a-f]{4}:Call user32\.(Set|Kill)Timer\([0-9a-f]+,000003e9[,)]" "$ARTIFACTS/main.stderr")
    [ "$(grep -c Set <<<"$calls")" = "$(grep -c Kill <<<"$calls")" ] || fail "the tick runs with the menu closed"
}
# follows WHAT PICTURE COMMAND...: with no tick, COMMAND changes the disc and the icon shows PICTURE within 1 s.
follows() {
    local what=$1 picture=$2 began=${EPOCHREALTIME/./}
    shift 2
    tick_off && mark_trace
    "$@" || fail "could not do it: $*"
    within 1 icons_are "$picture" || fail "the icon did not follow $what within 1 s (pictures since: ${SEEN:-none})"
    log "the icon followed $what after $(((${EPOCHREALTIME/./} - began) / 1000)) ms" && tick_off
}
# The disc lines of the open menu once the poller has written them: the summary line's text and the
# states of Explore, Open, Autoplay and the CD Audio pop-up (checked 0x8 or checked and greyed 0xB;
# the highlight of a selected item left out); then the menu closes again, its screenshot kept as SHOT.
look_at_menu() {
    open_tray_menu
    wait_for 10 "$1" disc_items_are "$2"
    menu_shot main "$3"
    menu_keys Escape
    wait_for 10 "the menu to close" eval '! _find_menu'
}
disc_items_are() {
    read_menu main || return 1
    SEEN=$(perl -ne 'my $s = /state=0x([0-9A-Fa-f]+)/ ? sprintf("0x%X", hex($1) & 0xB) : "0x0";
              print "$1 $s|" if /^item (4000[159]) /; print "audio $s|" if /^popup " CD &Audio"/;
              print "40019 $1|" if /^  item 40019 ("[^"]*")/' <<<"$MENU")
    [ "$SEEN" = "$1" ]
}
look_at_menu "a data disc's menu" '40001 0x8|40005 0x8|40009 0xB|audio 0xB|40019 " DATA OR NO DISC LOADED "|' menu-data-disc
# The drive's button opens the tray with the disc on it; the disc comes out and the tray goes back in empty.
follows "the tray opened with the disc" 190 vcd eject d
vcd remove d && vcd push d || fail "could not take the disc out"
# The disc items follow whether the system can read the drive's volume: Windows cannot with no disc;
# Wine's mount manager still answers for a folder drive (with an empty label).
drive_line d
log "the system reports: $DRIVE_LINE"
if matches "$DRIVE_LINE" ' label=none$'; then folder_state=0xB; else folder_state=0x8; fi
look_at_menu "an empty drive's menu" "40001 $folder_state|40005 $folder_state|40009 0xB|audio 0xB|40019 \" NO DISC LOADED \"|" menu-empty

# An audio CD with an autorun.inf, the tray pushed in by hand.
vcd eject d && vcd audio d 04:12:33 03:01:10 && vcd autorun d 'setup.exe /auto' || fail "could not put the disc in"
follows "the tray pushed in on an audio CD" 151 vcd push d
wait_for 10 "the ordinary icon on screen" icon_shown
look_at_menu "an audio disc's menu" '40001 0x8|40005 0x8|40009 0x8|audio 0x8|40019 " Total: 07 m 13 s     "|' menu-audio-disc

tray_menu_keys Up Return
wait_exit main 20
check_eq "Exit ends the program with 0" 0 "$EXIT_STATUS"
e2e_pass
