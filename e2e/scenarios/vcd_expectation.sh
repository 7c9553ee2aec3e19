# One left click that opens the door of the only drive, an audio disc in it, against the MCI commands
# of tests/expect/door_toggle.mci (the host suite holds the simulated MCI to the same file): the
# program's own mciSendStringA calls with their results, and the virtual drive's log, which lacks
# the commands that MCI refused before any driver saw them ("not open: ").
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
    trace_calls winmm.mciSendStringA
}
e2e_begin vcd_expectation prepare
cp "$EXPECT_DIR/door_toggle.mci" "$ARTIFACTS/"
start_installed

# A few ticks first: the click comes to a program that has settled. With the menu closed and no lock
# the poller sends nothing, so everything from the mark on is the click's.
sleep 1.5
MARK=$(trace_mark main)
vcd clear-log d
click_icon 1
wait_for 20 "the tray to open" door_is d open
wait_for 5 "the drive to see the commands that reach a driver" vcd_log_is d \
    "$(expected door_toggle.mci | grep -v '^not open: ')"
calls() { program_calls main "$MARK" | sed -n 's/^mci //p'; }
within 5 eval '[ "$(calls)" = "$(expected door_toggle.mci)" ]'
check_lines "the program's calls and their results are the expected ones" "$(expected door_toggle.mci)" "$(calls)"
e2e_pass
