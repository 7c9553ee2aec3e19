# What is in a drive we control, as the icon and the open menu show it: a data disc greys Autoplay
# and the CD Audio pop-up while the disc's folder items stay usable; with the tray closed on nothing
# the program shows the no-disc picture (190) and the summary line says so; an audio disc with an
# autorun.inf brings the ordinary picture (151) back and every one of those items usable. With the
# menu closed and no lock the program has no tick: the picture follows the disc within a second, told
# by the system (the drive broadcasts WM_DEVICECHANGE as Windows does).
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

# pictures_are MARK PICTURES: the pictures the program loaded for the tray since the mark ("151 190"):
# Wine's tray keeps old pixels where the next icon is transparent, so only the calls tell them apart.
pictures_are() {
    local seen
    seen=$(program_calls main "$1" | sed -n 's/^icon //p' | paste -sd' ')
    echo "${seen:-none}"
    [ "$seen" = "$2" ]
}
# no_tick: the tick (timer 1001) has been killed as often as it was set since the start.
no_tick() {
    local calls=$(program_calls main)
    echo "the tick set $(grep -c '^timer set 1001$' <<<"$calls"), killed $(grep -c '^timer kill 1001$' <<<"$calls")"
    [ "$(grep -c '^timer set 1001$' <<<"$calls")" = "$(grep -c '^timer kill 1001$' <<<"$calls")" ]
}
# follows WHAT PICTURE COMMAND...: with no tick, COMMAND changes the disc and PICTURE follows in 1 s.
follows() {
    local what=$1 picture=$2 mark
    shift 2
    check "no tick before $what" no_tick
    mark=$(trace_mark main)
    "$@" || fail "could not do it: $*"
    within 1 pictures_are "$mark" "$picture" >/dev/null ||
        fail "the picture did not follow $what within 1 s (pictures since: $(pictures_are "$mark" "$picture"))"
    log "ok: the picture followed $what within 1 s"
}

# disc_lines WHAT FOLDERS AUDIO SUMMARY SHOT: opens the menu and waits for its disc lines: Explore and
# Open in the state FOLDERS, Autoplay and the CD Audio pop-up in the state AUDIO (" state 11" greyed,
# "" usable), and the pop-up's summary line; keeps a screenshot, closes the menu.
disc_lines() {
    open_tray_menu
    wait_menu main "$1" "$(printf '%s\n' "40001 \" &Explore\" 140 0$2" "40005 \" &Open\" 138 0$2" \
        "40009 \" A&utoplay\" 141 0$3" "popup \" CD &Audio\" 176 0$3" "  40019 \" $4 \" 166 0")" \
        grep -E '^(4000[159] |popup " CD &Audio"|  40019 )'
    menu_shot main "$5"
    menu_keys Escape
    wait_for 10 "the menu to close" menu_closed
}

disc_lines "a data disc's menu" "" " state 11" "DATA OR NO DISC LOADED" menu-data-disc

# The drive's button opens the tray with the disc on it; the disc comes out and the tray goes back in empty.
follows "the tray opened with the disc" 190 vcd eject d
vcd remove d && vcd push d || fail "could not take the disc out"
# Explore and Open follow whether the system can read the drive's volume: Windows cannot with no
# disc; Wine's mount manager still answers for a folder drive (with an empty label).
FOLDERS=""
! matches "$(drive_line d)" ' label=none$' || FOLDERS=" state 11"
disc_lines "an empty drive's menu" "$FOLDERS" " state 11" "NO DISC LOADED" menu-empty

# An audio CD with an autorun.inf, the tray pushed in by hand.
vcd eject d && vcd audio d 04:12:33 03:01:10 && vcd autorun d 'setup.exe /auto' || fail "could not put the disc in"
follows "the tray pushed in on an audio CD" 151 vcd push d
disc_lines "an audio disc's menu" "" "" "Total: 07 m 13 s    " menu-audio-disc
exit_from_menu
e2e_pass
