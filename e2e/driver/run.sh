# make run: Dorvane in a Wine prefix of its own under the run folder, installed as the installer
# leaves it (C:\Program Files\Dorvane with the companion, InstallPath set).
#
#   bash e2e/driver/run.sh [--prefix] <x64 build folder> <run folder>
#
# The machine has a virtual CD drive D: (e2e/driver/vcd) with an audio CD, and Wine's virtual
# desktop with a taskbar. With a DISPLAY the program runs there until it ends. Without one, a
# private Xvfb is started, a screenshot of the desktop with the icon is saved once it shows, and
# everything runs until Ctrl-C. The prefix (<run folder>/prefix) is kept for the next run, with its
# settings and its drive. With --prefix only the prefix is made (it needs neither the programs nor a
# display): `make run` has that done while the programs build.

PREFIX_ONLY=0
if [ "${1:-}" = --prefix ]; then
    PREFIX_ONLY=1
    shift
fi
if [ $# -ne 2 ]; then
    echo "usage: bash run.sh [--prefix] <x64 build folder> <run folder>" >&2
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
for exe in Dorvane.exe Ambergate.exe wininspect.exe vcdmci.dll; do
    [ "$PREFIX_ONLY" = 1 ] || [ -f "$DORVANE_BIN/$exe" ] || fail "$DORVANE_BIN/$exe is missing; build with 'make x64'"
done

OWN_DISPLAY=0
_run_cleanup() {
    trap - EXIT INT TERM HUP
    if [ "$OWN_DISPLAY" = 1 ]; then
        log "shutting Wine and the X display down"
        end_wine_now
        [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$E2E_TMP"
}
trap _run_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A prefix is whole once it has its stamp.
export WINEPREFIX=$RUN_DIR/prefix
if [ ! -f "$WINEPREFIX/.e2e-stamp" ]; then
    log "making the Wine prefix $WINEPREFIX (once; about 20 s)"
    make_prefix_at "$WINEPREFIX"
fi
[ "$PREFIX_ONLY" = 0 ] || exit 0

if [ -z "${DISPLAY:-}" ]; then
    OWN_DISPLAY=1
    start_display
fi
# A CD-ROM drive D: that the vcd tool controls, with an audio CD of three tracks in it.
if [ ! -f "$WINEPREFIX/vcd/d.state" ]; then
    log "putting the virtual CD drive D: with an audio CD into the prefix"
    prepare_prefix vcd_drive d
    vcd audio d 04:12 03:01 05:47 || fail "could not put the audio CD into D:"
fi

DIR=$INSTALL_DIR
install_dorvane "$DIR"
set_install_path "$DIR"
# Wine's virtual desktop named "shell" has a taskbar with a clock and a notification area, so the
# program runs in something that looks like a Windows desktop rather than a bare strip. (HKCU: one
# key for both of Wine's halves.)
win reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null ||
    fail "could not choose Wine's virtual desktop"
win reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null ||
    fail "could not size Wine's virtual desktop"

if [ "$OWN_DISPLAY" = 0 ]; then
    log "starting Dorvane on $DISPLAY; it runs until you choose Exit in its tray menu"
    cd "$WINEPREFIX/drive_c" && WINEDEBUG=${WINEDEBUG:--all} "$WINE64" "$DIR\\Dorvane.exe"
    status=$?
    log "Dorvane ended with $status"
    exit "$status"
fi

start_dorvane main "$DIR\\Dorvane.exe"
icon_added() {
    local calls
    grep -aqE '^[0-9a-f]{4}:[0-9a-f]{4}:' "$ARTIFACTS/main.stderr" || { echo "no trace from the program yet"; return 1; }
    calls=$(tray_calls main)
    echo "the program's calls: ${calls:-none}"
    [[ " $calls " == *" NIM_ADD "* ]]
}
if ! within 30 icon_added >/dev/null; then
    BOX=$(read_msgbox Dorvane) && log "the program shows a message instead: $BOX"
    timeout 20 import -window root "$RUN_DIR/screenshot.png"
    fail "no icon; screen in $RUN_DIR/screenshot.png, Wine's output in $ARTIFACTS/main.stderr"
fi
# The poller's first tick chooses the picture.
sleep 2
timeout 20 import -window root "$RUN_DIR/screenshot.png" || fail "could not take a screenshot"
# The notification area is small on a 1024x768 screen: also a close-up of the taskbar's corner.
convert "$RUN_DIR/screenshot.png" -gravity SouthEast -crop 200x24+0+0 +repage -scale 400% \
    "$RUN_DIR/screenshot-tray.png"
echo "Dorvane runs on the private display $DISPLAY; a screenshot with its notification icon:"
echo "  $RUN_DIR/screenshot.png (close-up: $RUN_DIR/screenshot-tray.png)"
cat <<EOF
From a second shell, the virtual drive D: (e2e/driver/vcd help says more):
  export WINEPREFIX=$WINEPREFIX DISPLAY=$DISPLAY DORVANE_BIN=$DORVANE_BIN
  e2e/driver/vcd field d door              # watch the door: closed, opening, open, closing
  e2e/driver/vcd eject d                   # press the drive's button
  e2e/driver/vcd eject d; e2e/driver/vcd remove d; e2e/driver/vcd push d   # take the disc out
  e2e/driver/vcd eject d; e2e/driver/vcd data d MY_DISC; e2e/driver/vcd push d   # a data disc
  e2e/driver/vcd log d                     # the MCI commands the program sent
  import -window root shot.png             # a screenshot
Ctrl-C ends it.
EOF
# Until Ctrl-C, or until the program ends by itself (Exit in its tray menu).
wait "${RUN_PID[main]}"
log "Dorvane ended with $(cat "$E2E_TMP/main.status" 2>/dev/null)"
