# The end-to-end harness: the real Dorvane.exe in a private Wine prefix on a private X display.
#
# A scenario sources this file and calls `e2e_begin <name> [setup command...]` first (the setup
# command prepares the new prefix before Wine's desktop starts, e.g. with add_cd_drive). It then has
# its own Xvfb display (DISPLAY), a fresh Wine prefix (WINEPREFIX) copied from a base prefix made
# once per Wine version, and a running desktop with its notification area. The layers:
#   lib.sh          reporting and checks, waiting, the beginning, the deadline and the teardown
#                   (this file);
#   prefix_lib.sh   Wine's loaders, the prefix and what it is set up with, the desktop, the guard
#                   against bare Wine calls;
#   screen_lib.sh   the X display, mouse and keyboard, screenshots and pixels, the notification
#                   area, the tray menu's window;
#   program_lib.sh  the program: install, start, exit, its traces, windows, menus and registry;
#   desktop_lib.sh  Explorer's restart and the display scale; setup_lib.sh the setup program;
#   parse           every reading of Wine's traces and of the inspection tool's dumps.
# A helper that finds something prints it (`tip=$(tray_tooltip)`); a predicate (for `wait_for` and
# `check`) returns its verdict and prints what it saw. `fail` ends the scenario from anywhere, also
# from inside `$(...)` (then before the scenario's next command). Globals hold only the run's lifecycle: the prefix, the display, the pids,
# the artefact folder and the scratch folder.
# Whatever happens (failure, deadline, Ctrl-C), the prefix's Wine processes and the Xvfb are ended.
# Artefacts (log, screenshots, Wine traces, dumps) go to $E2E_WORK/artifacts/<name>/.
#
# Environment: DORVANE_BIN (folder with Dorvane.exe, Ambergate.exe, wininspect.exe), DORVANE_ARCH
# (x64 or x86: which build that is, and so which of Wine's halves runs it), E2E_WORK (scratch
# folder), E2E_DRIVER (this folder). E2E_DEADLINE (seconds, default 150) bounds a scenario;
# E2E_KEEP_PREFIX=1 keeps its prefix afterwards for a look.
#
# Every Wine call names its loader and every registry access under HKLM\Software its view (see
# wine_halves.sh): `win` and `inspect` run in the program's half, `win64` in the 64-bit one.

set -o nounset -o pipefail

: "${DORVANE_BIN:?DORVANE_BIN must name the folder with the x64 programs}"
: "${E2E_WORK:?E2E_WORK must name a scratch folder}"
E2E_DRIVER=${E2E_DRIVER:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}
source "$E2E_DRIVER/wine_halves.sh"
PARSE=$E2E_DRIVER/parse
EXPECT_DIR=$E2E_DRIVER/../../tests/expect
# The inspection tool of the program's own build: a menu can only be read by a tool of the same
# bitness as the program, as the tool hooks itself into the program's process.
INSPECT_EXE=$DORVANE_BIN/wininspect.exe
# The half that runs the program under test, and the registry view it sees.
if [ "${DORVANE_ARCH:-x64}" = x86 ]; then
    PROGRAM_WINE=$WINE32 PROGRAM_VIEW=/reg:32
else
    PROGRAM_WINE=$WINE64 PROGRAM_VIEW=/reg:64
fi
SETTINGS_KEY='HKCU\Software\Ostrelle\Dorvane'
MAKER_KEY='HKCU\Software\Ostrelle'
INSTALL_DIR='C:\Program Files\Dorvane'

# The run's lifecycle: its name, artefact and scratch folders, start time and outcome, and the
# processes it started (the runs of programs by label).
E2E_NAME="" ARTIFACTS="" E2E_TMP="" E2E_STATUS=1 E2E_START=${EPOCHREALTIME/./}
XVFB_PID="" WATCHDOG_PID="" HOLDER_PID=""
declare -A RUN_PID=()

# ---- reporting ---------------------------------------------------------------------------------

log() {
    local now=${EPOCHREALTIME/./} line
    _stop_if_failed
    printf -v line '[%6.2fs] %s' "$(((now - E2E_START) / 10000))e-2" "$*"
    echo "$line" >&2
    [ -z "$ARTIFACTS" ] || echo "$line" >>"$ARTIFACTS/log.txt"
}

# fail MESSAGE: ends the scenario. Inside a command substitution it leaves a mark that ends the
# scenario's own shell before its next command (and any loop of the harness at its next turn).
fail() {
    log "FAIL: $*"
    [ "$BASHPID" = "$$" ] || [ -z "$E2E_TMP" ] || : >"$E2E_TMP/failed"
    exit 1
}
_stop_if_failed() { [ -z "$E2E_TMP" ] || [ ! -e "$E2E_TMP/failed" ] || exit 1; }
trap _stop_if_failed DEBUG

# check_eq WHAT EXPECTED SEEN
check_eq() {
    [ "$2" = "$3" ] || fail "$1"$'\n'"  expected: $2"$'\n'"  seen:     $3"
    log "ok: $1"
}

# check_lines WHAT EXPECTED SEEN: two texts of many lines are equal; a failure shows their diff.
check_lines() {
    [ "$2" = "$3" ] || fail "$1 (diff: < expected, > seen)"$'\n'"$(diff <(echo "$2") <(echo "$3") | sed 's/^/    /')"
    log "ok: $1"
}

# check_has_line WHAT TEXT LINE: TEXT (many lines) holds LINE as a whole line.
check_has_line() {
    grep -qxF -- "$3" <<<"$2" || fail "$1"$'\n'"  expected a line: $3"$'\n'"  seen:"$'\n'"$(sed 's/^/    | /' <<<"$2")"
    log "ok: $1"
}

# check WHAT PREDICATE...: the predicate holds; a failure shows what it printed.
check() {
    local what=$1 seen
    shift
    seen=$("$@") || fail "$what (the check \"$*\" did not hold${seen:+; seen: $seen})"
    log "ok: $what"
}

# matches TEXT REGEX: the whole of TEXT matches the extended REGEX.
matches() { [[ $1 =~ $2 ]]; }

# expected FILE: an expectation of tests/expect without its comments and blank lines.
expected() {
    [ -f "$EXPECT_DIR/$1" ] || fail "no expectation $1"
    grep -vE '^(#|$)' "$EXPECT_DIR/$1"
}

# Texts as wininspect prints them: C escapes for \, ", line breaks and tabs.
c_escape() {
    local s=$1
    s=${s//\\/\\\\} s=${s//\"/\\\"} s=${s//$'\n'/\\n} s=${s//$'\r'/\\r} s=${s//$'\t'/\\t}
    printf '%s' "$s"
}

# ---- waiting -----------------------------------------------------------------------------------

# within SECONDS COMMAND...: polls COMMAND until it succeeds; false once SECONDS have passed.
within() {
    local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
    shift
    until "$@"; do
        ((${EPOCHREALTIME/./} <= deadline)) || return 1
        sleep 0.2
    done
}

# wait_for SECONDS WHAT PREDICATE...: polls the predicate until it holds; fails after SECONDS with
# what it printed last.
wait_for() {
    local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000)) what=$2 seen
    shift 2
    until seen=$("$@"); do
        _stop_if_failed
        ((${EPOCHREALTIME/./} <= deadline)) || fail "waited for $what; it did not happen${seen:+ (last seen: $seen)}"
        sleep 0.2
    done
    log "seen: $what"
}

# ---- begin and end -----------------------------------------------------------------------------

# x86_missing: why the x86 build cannot run here (status 1 when it can). Wine's 32-bit half is
# 32-bit Linux code; some kernels are built without 32-bit support.
x86_missing() {
    if ! bash "$E2E_DRIVER/can_run_x86.sh"; then
        echo "this machine's kernel cannot run 32-bit Linux programs, so Wine cannot run 32-bit Windows ones"
    elif [ ! -x "$WINE32" ]; then
        echo "Wine's 32-bit half (wine32:i386, the loader $WINE32) is not installed"
    else
        return 1
    fi
}

e2e_begin() {
    local exe machine=8664 missing
    E2E_NAME=$1
    [ "${DORVANE_ARCH:-x64}" = x86 ] && E2E_NAME=$1-x86 machine=014c
    ARTIFACTS=$E2E_WORK/artifacts/$E2E_NAME
    rm -rf "$ARTIFACTS"
    mkdir -p "$ARTIFACTS" "$E2E_WORK/prefixes"
    if [ "${DORVANE_ARCH:-x64}" = x86 ] && missing=$(x86_missing); then
        log "SKIPPED: $missing"
        exit 77
    fi
    E2E_TMP=$(mktemp -d "$E2E_WORK/tmp.$E2E_NAME.XXXXXX")
    export E2E_BARE_WINE_LOG=$ARTIFACTS/bare-wine-calls.txt
    trap _on_exit EXIT
    trap 'log "FAIL: scenario stopped: interrupted"; exit 1' INT HUP
    trap 'log "FAIL: scenario stopped: terminated"; exit 1' TERM
    trap 'log "FAIL: scenario stopped: its deadline of ${E2E_DEADLINE:-150} s passed"; exit 1' ALRM
    # One process that sleeps in `read -t` (no child to leave behind) and stops the scenario when
    # its time is up, so that the teardown still runs before CTest's own timeout.
    mkfifo "$E2E_TMP/watchdog"
    exec 8<>"$E2E_TMP/watchdog"
    (read -r -t "${E2E_DEADLINE:-150}" -u 8; kill -ALRM $$) >/dev/null 2>&1 &
    WATCHDOG_PID=$!
    for exe in Dorvane.exe Ambergate.exe wininspect.exe; do
        # The program, its companion and the tool that reads its menus are of the half that runs them.
        [ -f "$DORVANE_BIN/$exe" ] || fail "$DORVANE_BIN/$exe is missing; build with 'make ${DORVANE_ARCH:-x64}'"
        [ "$(pe_machine "$DORVANE_BIN/$exe")" = $machine ] ||
            fail "$DORVANE_BIN/$exe is no ${DORVANE_ARCH:-x64} program (PE machine $(pe_machine "$DORVANE_BIN/$exe"))"
    done
    unset DISPLAY
    start_display
    _make_prefix
    [ $# -lt 2 ] || prepare_prefix "${@:2}"
    start_desktop
    log "prefix $WINEPREFIX ready"
}

e2e_pass() {
    _no_bare_wine_calls || exit 1
    E2E_STATUS=0
    log "PASS: $E2E_NAME"
    exit 0
}

_on_exit() {
    local status=$? pid file
    trap - EXIT INT HUP TERM ALRM DEBUG
    [ -z "$E2E_TMP" ] || rm -f "$E2E_TMP/failed"
    # Also after a failure: a bare call may be why.
    [ "$status" -eq 0 ] || _no_bare_wine_calls || true
    if [ "$E2E_STATUS" -ne 0 ] || [ "$status" -ne 0 ]; then
        [ "$status" -ne 0 ] || status=1
        # What the screen and the windows looked like when it went wrong.
        if [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ]; then
            timeout 10 import -window root "$ARTIFACTS/at-failure.png" 2>/dev/null
            timeout 20 xdotool search --onlyvisible --name '.*' 2>/dev/null | while read -r w; do
                echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
            done >"$ARTIFACTS/x-windows-at-failure.txt"
        fi
        [ -z "$HOLDER_PID" ] ||
            { timeout 20 env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" windows all
              timeout 20 env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" processes; } >"$ARTIFACTS/windows-at-failure.txt" 2>&1
    fi
    [ ! -d "${WINEPREFIX:-}" ] || end_wine_now
    # The virtual drives' state and the MCI messages they saw.
    for file in "${WINEPREFIX:-/nonexistent}"/vcd/*.state "${WINEPREFIX:-/nonexistent}"/vcd/*.log; do
        [ ! -f "$file" ] || cp "$file" "$ARTIFACTS/vcd-${file##*/}"
    done
    for pid in "${RUN_PID[@]}" $HOLDER_PID $XVFB_PID $WATCHDOG_PID; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    if [ -n "${WINEPREFIX:-}" ] && [ "${E2E_KEEP_PREFIX:-0}" != 1 ]; then rm -rf "$WINEPREFIX"; fi
    [ -z "$E2E_TMP" ] || rm -rf "$E2E_TMP"
    log "ended with status $status; artefacts in $ARTIFACTS"
    exit "$status"
}

source "$E2E_DRIVER/prefix_lib.sh"
source "$E2E_DRIVER/screen_lib.sh"
source "$E2E_DRIVER/program_lib.sh"
