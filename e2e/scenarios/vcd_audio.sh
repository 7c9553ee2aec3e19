# An audio CD in a drive we control, played from the tray menu's CD Audio pop-up through the real MCI
# path: each choice of tests/expect/playback.mci sends the commands listed there (the host suite
# holds the simulated MCI to the same file), and the drive does what they say: Play plays the first
# track, Pause holds the position, Play resumes from exactly there, Next Track plays track 2, Stop
# stops the drive and lets it go.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    # 04:12:33 + 03:01:10 = 07:13:43, of which Windows counts one frame less.
    vcd audio d 04:12:33 03:01:10
}
e2e_begin vcd_audio prepare
cp "$EXPECT_DIR/playback.mci" "$ARTIFACTS/"
start_installed

# choose CHOICE: opens the CD Audio pop-up (the eighth item of the menu with one drive) and chooses
# CHOICE there, counted from its end, whether the track lines show or not.
declare -A FROM_END=([Play]=5 [Pause]=4 [Stop]=3 [Next Track]=1)
choose() {
    open_tray_menu
    menu_keys Down Down Down Down Down Down Down Down Right
    [ "$1" != Stop ] || menu_shot main audio-popup-playing
    menu_keys $(printf 'Up %.0s' $(seq "${FROM_END[$1]}")) Return
}

# mode_is MODE [FRAME]: the drive plays, pauses or stands, at FRAME or later when given.
mode_is() {
    local mode position
    mode=$(vcd field d mode) position=$(vcd field d position)
    echo "$mode at frame $position"
    [ "$mode" = "$1" ] && [ "$position" -ge "${2:-0}" ]
}

# play CHOICE COMMANDS: the choice leaves the drive as it says, and the drive's log ends with the
# expected commands. Track 2 starts 04:12:33 after track 1, which starts at frame 150.
declare -A MODE=([Play]=playing [Pause]=paused [Stop]=stopped [Next Track]=playing)
declare -A FRAME=([Next Track]=$((150 + (4 * 60 + 12) * 75 + 33)))
POSITION=""
play() {
    choose "$1"
    wait_for 10 "$1 to leave the drive ${MODE[$1]}" mode_is "${MODE[$1]}" "${FRAME[$1]:-0}"
    wait_for 5 "the commands of $1" vcd_log_ends d "${2//POSITION/$POSITION}"
    [ "$1" = Pause ] || return 0
    # Where it paused, as the program read it, in tmsf (track 1 starts at frame 150).
    FRAME[Play]=$(vcd field d position)
    local offset=$((FRAME[Play] - 150))
    printf -v POSITION '01:%02d:%02d:%02d' $((offset / 4500)) $((offset / 75 % 60)) $((offset % 75))
}

choice="" commands=""
mapfile -t LINES < <(expected playback.mci)
for line in "${LINES[@]}" "[end]"; do
    if [[ $line == \[*\] ]]; then
        [ -z "$choice" ] || play "$choice" "$commands"
        choice=${line:1:-1} commands=""
    else
        commands+=${commands:+$'\n'}$line
    fi
done
e2e_pass
