# A password-locked drive: the user opens the tray with the drive's own button, and the program
# shuts it again within about a second (its poller closes a locked door twice a second), quietly,
# through its own alias. It does so every time.
# builds: x64 x86
source "$E2E_DRIVER/lib.sh"
english_locale

prepare() {
    vcd_drive d
    vcd audio d 04:12:33 03:01:10
}
e2e_begin vcd_lock prepare

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
set_install_path "$DIR"
win reg add "$SETTINGS_KEY" /v Locked /d 1 /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" || fail "could not write Locked"
win reg add "$SETTINGS_KEY" /v Password /d Secret /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
    fail "could not write Password"
start_dorvane main "$DIR\\Dorvane.exe"
wait_for 30 "our icon in the notification area" icon_shown

# The door closing commands that reached the drive since the log was emptied.
closes_sent() {
    SEEN=$(vcd log d | tr '\n' '|')
    vcd log d | grep -qxF "set cd4open door closed wait"
}

for press in 1 2; do
    check "the tray is closed before press $press" door_is d closed
    vcd clear-log d
    # The poller may shut the tray before anyone looks: only the program closes it after this.
    vcd eject d || fail "could not press the drive's button"
    pressed=${EPOCHREALTIME/./}
    log "pressed the drive's button: the tray opened"
    wait_for 2 "the program to shut the locked door (press $press)" door_is d closed
    log "shut after $(((${EPOCHREALTIME/./} - pressed) / 1000)) ms"
    check "the program closed it through its alias" closes_sent
done
check "the program is still running" is_running main
e2e_pass
