# One left click that opens the door of the only drive, an audio disc in it, against the MCI commands
# that tests/expect/door_toggle.mci lists for it (the host suite checks the same file against the
# simulated MCI): the program's own mciSendStringA calls with their results, and the virtual drive's
# log, which lacks the commands that MCI refused before any driver saw them ("not open: ").
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

EXPECTATION=$E2E_DRIVER/../../tests/expect/door_toggle.mci

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
    trace_calls winmm.mciSendStringA
}
e2e_begin vcd_expectation prepare
cp "$EXPECTATION" "$ARTIFACTS/" || fail "cannot read $EXPECTATION"
EXPECTED=$(grep -vE '^(#|$)' "$EXPECTATION")
[ -n "$EXPECTED" ] || fail "no commands in $EXPECTATION"

start_installed

# program_calls: sets PROGRAM_CALLS to the program's mciSendStringA calls since the mark, one a line
# as the file writes them: the command, "not open: " before one refused with error 263, or
# " (error N)" after one that failed otherwise.
program_calls() {
    PROGRAM_CALLS=$(program_trace '(Call|Ret ) +winmm\.mciSendStringA\(' |
        perl -ne 'if (/:Call winmm\.mciSendStringA\(\w+ "((?:[^"\\]|\\.)*)"/) { $command = $1 }
                  elsif (/:Ret +winmm\.mciSendStringA\(\) retval=([0-9a-f]+)/ && defined $command) {
                      my $error = hex $1;
                      print $error == 263 ? "not open: $command\n"
                          : $error == 0 ? "$command\n" : "$command (error $error)\n";
                      undef $command }')
}

# A few ticks first: the click comes to a program that has settled. With the menu closed and no
# lock the poller sends nothing, so everything from here on is the click's.
sleep 1.5
mark_trace
vcd clear-log d
click_icon 1
wait_for 20 "the tray to open" door_is d open
wait_for 15 "the tooltip to offer closing: the door command is over" tooltip_is "Close CD"
move_mouse_away
sleep 1.5
program_calls
check_lines "the program's calls and their results are the expected ones" "$EXPECTED" "$PROGRAM_CALLS"
check_lines "the drive saw the expected commands that reach a driver" "$(grep -v '^not open: ' <<<"$EXPECTED")" \
    "$(vcd log d)"
e2e_pass
