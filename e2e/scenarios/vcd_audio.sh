# An audio CD in a drive we control, played from the tray menu's CD Audio pop-up: the total line
# shows the disc's length, Play starts the first track and brings the two track lines, Pause stops
# the drive where it is, and Play resumes from exactly that position. Next Track moves on to track 2
# and, on the last track, round to track 1, playing on; Stop stops the drive, lets the device go and
# the track lines leave the pop-up.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    # 04:12:33 + 03:01:10 = 07:13:43, of which Windows counts one frame less.
    vcd audio d 04:12:33 03:01:10
}
e2e_begin vcd_audio prepare

start_installed

# audio_popup: opens the tray menu and its CD Audio pop-up (the eighth item with one drive), whose
# first item is then selected.
audio_popup() {
    open_tray_menu
    menu_keys Down Down Down Down Down Down Down Down Right
}

# The pop-up's information lines as "ID TEXT", once the poller has written them.
info_lines() { sed -nE 's/^  item (4001[9]|4002[01]) "([^"]*)".*/\1 \2/p' <<<"$MENU"; }
info_lines_are() {
    read_menu main || return 1
    SEEN=$(info_lines | tr '\n' '|')
    [ "$(info_lines)" = "$1" ]
}

mci_log_has() {
    SEEN=$(vcd log d | tail -n 12 | tr '\n' '|')
    vcd log d | grep -qxF "$1"
}

audio_popup
wait_for 10 "the total line with the disc's length" info_lines_are "40019  Total: 07 m 13 s     "
menu_shot main audio-popup-idle
# Play, below the total line and a separator.
menu_keys Down Return
wait_for 10 "the drive to play" eval '[ "$(drive_state d mode)" = playing ]'
check "Play started at the current track" mci_log_has "seek cdaudio to 1"
check "then played" mci_log_has "play cdaudio"

audio_popup
wait_for 10 "the track lines while playing" info_lines_are "40019  Total: 07 m 13 s     
40020  Track 1 from 2     
40021  Length: 04 m 12 s     "
menu_shot main audio-popup-playing
# Pause: below the total line, the two track lines and Play.
menu_keys Down Down Down Down Return
wait_for 10 "the drive to pause" eval '[ "$(drive_state d mode)" = paused ]'
paused_at=$(drive_state d position)
# The position as the program read it, in tmsf (track 1 starts at frame 150).
offset=$((paused_at - 150))
printf -v paused_text '01:%02d:%02d:%02d' $((offset / 4500)) $((offset / 75 % 60)) $((offset % 75))
log "paused at frame $paused_at ($paused_text)"
check "the program read the position at the pause" mci_log_has "status cdaudio position"
sleep 2
check "a paused drive stays where it is" [ "$(drive_state d position)" = "$paused_at" ]

# Paused, the program is not playing: the poller takes the track lines away again.
audio_popup
wait_for 10 "the track lines to go while paused" info_lines_are "40019  Total: 07 m 13 s     "
menu_keys Down Return
wait_for 10 "the drive to play again" eval '[ "$(drive_state d mode)" = playing ]'
check "Play resumed from the saved position" mci_log_has "seek cdaudio to $paused_text"
check "from there on" [ "$(drive_state d position)" -ge "$paused_at" ]

# Track 2 starts 04:12:33 after track 1, which starts at frame 150.
TRACK2_FRAME=$((150 + (4 * 60 + 12) * 75 + 33))
# playing_track N: the drive plays track N (of two).
playing_track() {
    local mode position
    mode=$(drive_state d mode)
    position=$(drive_state d position)
    SEEN="$mode at frame $position"
    [ "$mode" = playing ] || return 1
    if [ "$1" = 1 ]; then ((position < TRACK2_FRAME)); else ((position >= TRACK2_FRAME)); fi
}

# The program's commands for one menu choice are the last lines of the drive's log: the poller's
# commands come only while the menu is open, before the choice.
mci_log_ends() {
    local expected=$1 count
    count=$(wc -l <<<"$expected")
    SEEN=$(vcd log d | tail -n "$count" | tr '\n' '|')
    [ "$(vcd log d | tail -n "$count")" = "$expected" ]
}

# Next Track is the pop-up's last item: Up from the first one goes round to it.
# next_track FROM LENGTH TO: with the lines showing track FROM of LENGTH, Next plays track TO.
next_track() {
    audio_popup
    wait_for 10 "the track lines on track $1" info_lines_are "40019  Total: 07 m 13 s     
40020  Track $1 from 2     
40021  Length: $2     "
    menu_keys Up Return
    wait_for 10 "Next on track $1 to play track $3" playing_track "$3"
    wait_for 5 "the program's commands for Next on track $1" mci_log_ends "status cdaudio current track
status cdaudio number of tracks
stop cdaudio
seek cdaudio to $3
play cdaudio"
}
next_track 1 "04 m 12 s" 2
# On the last track Next goes round to the first.
next_track 2 "03 m 01 s" 1

# Stop: third from the end of the pop-up.
audio_popup
wait_for 10 "the track lines on track 1 again" info_lines_are "40019  Total: 07 m 13 s     
40020  Track 1 from 2     
40021  Length: 04 m 12 s     "
menu_keys Up Up Up Return
wait_for 10 "Stop to stop the drive" eval '[ "$(drive_state d mode)" = stopped ]'
wait_for 5 "the program to stop and let the device go" mci_log_ends "stop cdaudio
close cdaudio"
audio_popup
wait_for 10 "the track lines to go once stopped" info_lines_are "40019  Total: 07 m 13 s     "
menu_shot main audio-popup-stopped
e2e_pass
