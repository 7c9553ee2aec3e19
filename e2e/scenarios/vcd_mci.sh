# The virtual drive itself, through winmm's string interface as a program sees it: the answers in
# Windows' texts and formats, the tray and the drive's folder in step, a slow tray that the "wait"
# command waits for, the "shareable" rule between two opens, and a drive named by its letter.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
}
e2e_begin vcd_mci prepare

# answers COMMAND...: sent from one process, one answer a line ("ok ANSWER" or "error N TEXT").
answers() { vcd mci "$@" || fail "vcd mci failed"; }
# codes COMMAND...: the answers' first words, "ok 1|error 291|...".
codes() { answers "$@" | cut -d' ' -f1-2 | paste -sd'|'; }

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
# The first command opens the device by itself (and closes it again).
check_lines "the log rebuilds each message" "open cdaudio wait
${DISC[0]}
close cdaudio
$(printf '%s\n' "${DISC[@]:1}")" "$(vcd log d)"

# Playing moves on with the clock.
answers "open cdaudio" "set cdaudio time format tmsf" "seek cdaudio to 1" "play cdaudio" "close cdaudio" >/dev/null
sleep 2
check "two seconds of play moved the position" matches "$(answers "open cdaudio" "set cdaudio time format tmsf" \
    "status cdaudio position" "close cdaudio" | sed -n 3p)" '^ok 01:00:0[2-4]:[0-9]{2}$'

# A slow tray: "wait" returns once it has moved; the folder goes with it.
vcd slow d 1500
STARTED=${EPOCHREALTIME/./}
check_lines "answers with the tray open" "ok 1
ok 
ok false
error 276 The device driver is not ready." "$(answers "open cdaudio alias cd4open shareable" "set cd4open door open wait" \
    "status cd4open media present" "status cd4open number of tracks" "close cd4open" | head -n 4)"
check "the door command waited for the slow tray" [ $(((${EPOCHREALTIME/./} - STARTED) / 1000)) -ge 1500 ]
check "the tray is open" door_is d open
check "the open tray's drive lists nothing" [ ! -e "$WINEPREFIX/dosdevices/d:/Track01.cda" ]
answers "open cdaudio alias cd4open shareable" "set cd4open door closed wait" "close cd4open" >/dev/null
check "the tray is closed" door_is d closed
check "the drive lists the disc again" [ -e "$WINEPREFIX/dosdevices/d:/Track01.cda" ]
vcd slow d 0

# Two opens of the drive share it only when both say "shareable".
check_eq "the shareable rule" "ok 1|error 291|ok |ok 1|ok 2" "$(codes "open cdaudio alias one" \
    "open cdaudio alias two shareable" "close one" "open cdaudio alias three shareable" "open cdaudio alias four shareable")"

# An element names the drive, as Windows' driver takes it; a letter of no CD drive is no file it plays.
vcd clear-log d
check_eq "a drive named by its letter, then one that is none" "ok 1|ok |error 296" \
    "$(codes "open D: type cdaudio alias named shareable" "close named" "open C: type cdaudio alias other")"
check_lines "winmm hands the element over in lower case" "open d: type cdaudio alias named shareable
close named" "$(vcd log d)"
e2e_pass
