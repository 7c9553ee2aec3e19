# What is in a drive we control, as the icon and the open menu show it: a data disc greys Autoplay
# and the CD Audio pop-up while the disc's folder items stay usable; with the tray closed on nothing
# the program shows the no-disc picture (190) and the summary line says so; an audio disc with an
# autorun.inf brings the ordinary picture (151) back and every one of those items usable.
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

# pictures_are MARK PICTURES: the pictures the program gave the tray since the mark, in order
# ("151 190"): it loads each one it shows. Wine's tray keeps an icon's old pixels where the next one
# is transparent, so the calls tell 151 and 190 apart where a screenshot cannot.
pictures_are() {
    local seen
    seen=$(program_calls main "$1" | sed -n 's/^icon //p' | paste -sd' ')
    echo "${seen:-none}"
    [ "$seen" = "$2" ]
}

# disc_lines WHAT EXPECTED SHOT: opens the menu and waits for its disc lines (Explore, Open, Autoplay,
# the CD Audio pop-up and its summary line; state 11 is greyed), keeps a screenshot, closes the menu.
disc_lines() {
    open_tray_menu
    wait_menu main "$1" "$2" grep -E '^(4000[159] |popup " CD &Audio"|  40019 )'
    menu_shot main "$3"
    menu_keys Escape
    wait_for 10 "the menu to close" menu_closed
}

disc_lines "a data disc's menu" '40001 " &Explore" 140 0
40005 " &Open" 138 0
40009 " A&utoplay" 141 0 state 11
popup " CD &Audio" 176 0 state 11
  40019 " DATA OR NO DISC LOADED " 166 0' menu-data-disc

# The disc comes out and the tray goes back in empty, all between two ticks of the poller or nearly.
MARK=$(trace_mark main)
vcd eject d && vcd remove d && vcd push d || fail "could not take the disc out"
wait_for 10 "the no-disc picture for the empty drive" pictures_are "$MARK" 190
sleep 1.5
check "the no-disc picture stays while the empty tray is closed" pictures_are "$MARK" 190
# Explore and Open follow whether the system can read the drive's volume: Windows cannot with no
# disc; Wine's mount manager still answers for a folder drive (with an empty label).
FOLDERS=""
! matches "$(drive_line d)" ' label=none$' || FOLDERS=" state 11"
disc_lines "an empty drive's menu" "40001 \" &Explore\" 140 0$FOLDERS
40005 \" &Open\" 138 0$FOLDERS
40009 \" A&utoplay\" 141 0 state 11
popup \" CD &Audio\" 176 0 state 11
  40019 \" NO DISC LOADED \" 166 0" menu-empty

MARK=$(trace_mark main)
vcd eject d && vcd audio d 04:12:33 03:01:10 && vcd autorun d 'setup.exe /auto' && vcd push d ||
    fail "could not put the audio disc in"
wait_for 10 "the ordinary picture with the disc in" pictures_are "$MARK" 151
disc_lines "an audio disc's menu" '40001 " &Explore" 140 0
40005 " &Open" 138 0
40009 " A&utoplay" 141 0
popup " CD &Audio" 176 0
  40019 " Total: 07 m 13 s     " 166 0' menu-audio-disc
exit_from_menu
e2e_pass
