# The virtual drive itself, through winmm's string interface as a program sees it: the answers in
# Windows' texts and formats, the tray and the drive's folder in step, a slow tray that the "wait"
# command waits for, an injected door failure, the "shareable" rule between two opens, and a drive
# named by its letter.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
}
e2e_begin vcd_mci prepare

# mci_answers COMMAND...: sends the commands from one process; ANSWERS holds one answer a line.
mci_answers() { ANSWERS=$(vcd mci "$@"); }

mci_answers "status cdaudio media present" "open cdaudio shareable" "status cdaudio number of tracks" \
    "status cdaudio length" "set cdaudio time format tmsf" "status cdaudio length" \
    "status cdaudio length track 2" "seek cdaudio to 02:01:22:45" "status cdaudio position" \
    "status cdaudio current track" "status cdaudio mode" "seek cdaudio to 3" "close cdaudio"
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
ok " "$ANSWERS"
check_lines "the log rebuilds each message (auto-open included)" "open cdaudio wait
status cdaudio media present
close cdaudio
open cdaudio shareable
status cdaudio number of tracks
status cdaudio length
set cdaudio time format tmsf
status cdaudio length
status cdaudio length track 2
seek cdaudio to 02:01:22:45
status cdaudio position
status cdaudio current track
status cdaudio mode
seek cdaudio to 3
close cdaudio" "$(vcd log d)"

# Playing moves on with the clock.
mci_answers "open cdaudio" "set cdaudio time format tmsf" "seek cdaudio to 1" "play cdaudio" "close cdaudio"
sleep 2
mci_answers "open cdaudio" "set cdaudio time format tmsf" "status cdaudio position" "close cdaudio"
check "two seconds of play moved the position" matches "$(sed -n 3p <<<"$ANSWERS")" '^ok 01:00:0[2-4]:[0-9]{2}$'

# A slow tray: "wait" returns once it has moved; the folder goes with it.
vcd slow d 1500
started=${EPOCHREALTIME/./}
mci_answers "open cdaudio alias cd4open shareable" "set cd4open door open wait" "status cd4open media present" \
    "status cd4open number of tracks" "close cd4open"
took=$(((${EPOCHREALTIME/./} - started) / 1000))
check_lines "answers with the tray open" "ok 1
ok 
ok false
error 276 The device driver is not ready." "$(head -n 4 <<<"$ANSWERS")"
check "the door command waited for the slow tray (${took} ms)" [ "$took" -ge 1500 ]
check "the tray is open" door_is d open
check "the open tray's drive lists nothing" [ ! -e "$WINEPREFIX/dosdevices/d:/Track01.cda" ]
mci_answers "open cdaudio alias cd4open shareable" "set cd4open door closed wait" "close cd4open"
check "the tray is closed" door_is d closed
check "the drive lists the disc again" [ -e "$WINEPREFIX/dosdevices/d:/Track01.cda" ]
vcd slow d 0

# One injected failure: the next door command fails, the one after works.
vcd fail-door d
mci_answers "open cdaudio" "set cdaudio door open wait" "set cdaudio door open wait" "close cdaudio"
check_eq "a failed door command, then a working one" "error 262|ok " "$(sed -n '2,3p' <<<"$ANSWERS" | cut -d' ' -f1-2 | paste -sd'|')"
check "the second one opened the tray" door_is d open

# Two opens of the drive share it only when both say "shareable".
mci_answers "open cdaudio alias one" "open cdaudio alias two shareable" "close one" \
    "open cdaudio alias three shareable" "open cdaudio alias four shareable"
check_eq "the shareable rule" "ok 1|error 291|ok |ok 1|ok 2" "$(cut -d' ' -f1-2 <<<"$ANSWERS" | paste -sd'|')"

# An element names the drive, as Windows' driver takes it; a letter of no CD drive is no file it plays.
vcd clear-log d
mci_answers "open D: type cdaudio alias named shareable" "close named" "open C: type cdaudio alias other"
check_eq "a drive named by its letter, then one that is none" "ok 1|ok |error 296" \
    "$(cut -d' ' -f1-2 <<<"$ANSWERS" | paste -sd'|')"
check_lines "winmm hands the element over in lower case" "open d: type cdaudio alias named shareable
close named" "$(vcd log d)"
e2e_pass
