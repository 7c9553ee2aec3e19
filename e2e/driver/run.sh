# make run: Dorvane in a Wine prefix of its own under the run folder, installed as the installer
# leaves it (C:\Program Files\Dorvane with the companion, InstallPath set).
#
#   bash e2e/driver/run.sh <x64 build folder> <run folder>
#
# With a DISPLAY the program runs there until it ends. Without one, a private Xvfb is started, a
# screenshot of the notification icon is saved once it shows, and everything runs until Ctrl-C.
# The prefix (<run folder>/prefix) is kept for the next run, with its settings.

if [ $# -ne 2 ]; then
    echo "usage: bash run.sh <x64 build folder> <run folder>" >&2
    exit 2
fi
export DORVANE_BIN=$1
RUN_DIR=$2
export E2E_WORK=$RUN_DIR
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ARTIFACTS=$RUN_DIR/logs
mkdir -p "$ARTIFACTS"
: >"$ARTIFACTS/log.txt"
E2E_TMP=$(mktemp -d "$RUN_DIR/tmp.XXXXXX")
for exe in Dorvane.exe Ambergate.exe wininspect.exe; do
    [ -f "$DORVANE_BIN/$exe" ] || fail "$DORVANE_BIN/$exe is missing; build with 'make x64'"
done

OWN_DISPLAY=0
_run_cleanup() {
    trap - EXIT INT TERM HUP
    if [ "$OWN_DISPLAY" = 1 ]; then
        log "shutting Wine and the X display down"
        timeout 20 wineserver -k >/dev/null 2>&1
        timeout 20 wineserver -w >/dev/null 2>&1
        [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$E2E_TMP"
}
trap _run_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

if [ -z "${DISPLAY:-}" ]; then
    OWN_DISPLAY=1
    _start_display
fi

export WINEPREFIX=$RUN_DIR/prefix
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "making the Wine prefix $WINEPREFIX (once; about 10 s)"
    make_prefix_at "$WINEPREFIX"
    # A machine with a CD-ROM drive: without one the program asks whether to go on.
    prepare_prefix one_cd_drive
fi

DIR='C:\Program Files\Dorvane'
install_dorvane "$DIR"
set_install_path "$DIR"

if [ "$OWN_DISPLAY" = 0 ]; then
    log "starting Dorvane on $DISPLAY; it runs until you choose Exit in its tray menu"
    cd "$WINEPREFIX/drive_c" && WINEDEBUG=${WINEDEBUG:--all} wine "$DIR\\Dorvane.exe"
    status=$?
    log "Dorvane ended with $status"
    exit "$status"
fi

_start_desktop
start_dorvane main "$DIR\\Dorvane.exe"
if ! (wait_for 30 "the notification icon" icon_shown); then
    _read_msgbox Dorvane && log "the program shows a message instead: $MSGBOX"
    timeout 20 import -window root "$RUN_DIR/screenshot.png"
    fail "no icon; screen in $RUN_DIR/screenshot.png, Wine's output in $ARTIFACTS/main.stderr"
fi
timeout 20 import -window root "$RUN_DIR/screenshot.png" || fail "could not take a screenshot"
# The notification area is small on a 1024x768 screen: also a close-up of its corner.
convert "$RUN_DIR/screenshot.png" -crop 200x60+0+0 +repage -scale 400% "$RUN_DIR/screenshot-tray.png"
echo "Dorvane runs on the private display $DISPLAY; a screenshot with its notification icon:"
echo "  $RUN_DIR/screenshot.png (close-up: $RUN_DIR/screenshot-tray.png)"
echo "(WINEPREFIX=$WINEPREFIX DISPLAY=$DISPLAY reach it from another shell.) Ctrl-C ends it."
# Until Ctrl-C, or until the program ends by itself (Exit in its tray menu).
wait "${RUN_PID[main]}"
log "Dorvane ended with $(cat "$E2E_TMP/main.status" 2>/dev/null)"
