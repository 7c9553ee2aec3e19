# The virtual drive itself, through winmm's string interface as a program sees it: the answers in
# Windows' texts and formats, a clock that moves while it plays, and the "shareable" rule between two
# opens. What the scenarios see of it through the program (its log of each message, the slow tray
# that "wait" waits for, the open tray's answers, a drive named by its letter) they check there.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
}
e2e_begin vcd_mci prepare

# answers COMMAND...: sent from one process, one answer a line ("ok ANSWER" or "error N TEXT").
answers() { vcd mci "$@" || fail "vcd mci failed"; }

DISC=("status cdaudio media present" "open cdaudio shareable" "status cdaudio number of tracks" "status cdaudio length"
    "set cdaudio time format tmsf" "status cdaudio length" "status cdaudio length track 2" "seek cdaudio to 02:01:22:45"
    "status cdaudio position" "status cdaudio current track" "status cdaudio mode" "seek cdaudio to 3" "close cdaudio")
check_lines "answers with a disc in" "ok true
ok 1
ok 2
ok 07:13:42
ok 
ok 07:13:42
ok 03:01:09
ok 
ok 02:01:22:45
ok 2
ok stopped
error 282 The specified parameter is out of range for the specified command.
ok " "$(answers "${DISC[@]}")"

# Playing moves on with the clock.
answers "open cdaudio" "set cdaudio time format tmsf" "seek cdaudio to 1" "play cdaudio" "close cdaudio" >/dev/null
sleep 2
check "two seconds of play moved the position" matches "$(answers "open cdaudio" "set cdaudio time format tmsf" \
    "status cdaudio position" "close cdaudio" | sed -n 3p)" '^ok 01:00:0[2-4]:[0-9]{2}$'

# Two opens of the drive share it only when both say "shareable" (the answers' first words).
check_eq "the shareable rule" "ok 1|error 291|ok |ok 1|ok 2" "$(answers "open cdaudio alias one" \
    "open cdaudio alias two shareable" "close one" "open cdaudio alias three shareable" \
    "open cdaudio alias four shareable" | cut -d' ' -f1-2 | paste -sd'|')"

e2e_pass
