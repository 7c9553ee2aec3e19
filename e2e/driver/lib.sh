# Shell library for the end-to-end scenarios: the real Dorvane.exe in a private Wine prefix on a
# private X display.
#
# A scenario sources this file and calls `e2e_begin <name> [setup command...]` first (the setup
# command prepares the new prefix before Wine's desktop starts, e.g. with add_cd_drive). It then has:
#   - its own Xvfb display (DISPLAY), a fresh Wine prefix (WINEPREFIX) copied from a base prefix
#     that is made once per Wine version, and a running desktop with its notification area;
#   - helpers to install and start the program, wait for things with deadlines, answer message
#     boxes, work the notification icon and read the registry;
#   - `check_*` and `fail`, which end the scenario at the first mismatch and say what was expected
#     and what was seen.
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
# The inspection tool of the program's own build: a menu can only be read by a tool of the same
# bitness as the program, as the tool hooks itself into the program's process.
INSPECT_EXE=$DORVANE_BIN/wininspect.exe
# The half that runs the program under test (DORVANE_ARCH x64 or x86), and the registry view it sees.
if [ "${DORVANE_ARCH:-x64}" = x86 ]; then
    PROGRAM_WINE=$WINE32
    PROGRAM_VIEW=/reg:32
else
    PROGRAM_WINE=$WINE64
    PROGRAM_VIEW=/reg:64
fi

# Where the program's settings live.
SETTINGS_KEY='HKCU\Software\Ostrelle\Dorvane'
MAKER_KEY='HKCU\Software\Ostrelle'

E2E_NAME=""
ARTIFACTS=""
E2E_TMP=""
E2E_START=${EPOCHREALTIME/./}
E2E_STATUS=1
XVFB_PID=""
WATCHDOG_PID=""
HOLDER_PID=""
declare -A RUN_PID=() RUN_WINPID=()
# More of Wine's trace channels for the program's runs (trace_calls sets it).
E2E_TRACE=""
# Registry values that e2e_begin's setup command asks for, in .reg file form: for the program
# (setup_reg, written in its view) and for Wine's own 64-bit services (setup_reg_wine).
SETUP_REG=""
SETUP_REG_WINE=""
# Why the x86 build cannot run here, when it cannot.
X86_MISSING=""
# The line of the program's trace that mark_trace reached.
TRACE_MARK=0

# ---- reporting ---------------------------------------------------------------------------------

_elapsed() { local now=${EPOCHREALTIME/./}; printf '%6.2f' "$(((now - E2E_START) / 10000))e-2"; }

log() {
    local line
    line="[$(_elapsed)s] $*"
    echo "$line" >&2
    [ -n "$ARTIFACTS" ] && echo "$line" >>"$ARTIFACTS/log.txt"
    return 0
}

fail() {
    log "FAIL: $*"
    exit 1
}

# check_eq WHAT EXPECTED SEEN
check_eq() {
    if [ "$2" != "$3" ]; then
        log "FAIL: $1"
        log "  expected: $2"
        log "  seen:     $3"
        exit 1
    fi
    log "ok: $1"
}

# check_has_line WHAT TEXT LINE: TEXT (many lines) holds LINE as a whole line.
check_has_line() {
    if ! grep -qxF -- "$3" <<<"$2"; then
        log "FAIL: $1"
        log "  expected a line: $3"
        log "  seen:"
        sed 's/^/    | /' <<<"$2" >&2
        sed 's/^/    | /' <<<"$2" >>"$ARTIFACTS/log.txt"
        exit 1
    fi
    log "ok: $1"
}

# check_lines WHAT EXPECTED SEEN: two texts of many lines are equal; a failure shows their diff.
check_lines() {
    if [ "$2" != "$3" ]; then
        log "FAIL: $1 (diff: < expected, > seen)"
        diff <(echo "$2") <(echo "$3") | sed 's/^/    /' | tee -a "$ARTIFACTS/log.txt" >&2
        exit 1
    fi
    log "ok: $1"
}

# check WHAT COMMAND...: the command succeeds.
check() {
    local what=$1
    shift
    "$@" || fail "$what (the check \"$*\" did not hold)"
    log "ok: $what"
}

# matches TEXT REGEX: the whole of TEXT (all its lines) matches the extended REGEX.
matches() { [[ $1 =~ $2 ]]; }

# Texts as wininspect prints them: C escapes for \, ", line breaks and tabs.
c_escape() {
    local s=$1
    s=${s//\\/\\\\}
    s=${s//\"/\\\"}
    s=${s//$'\n'/\\n}
    s=${s//$'\r'/\\r}
    s=${s//$'\t'/\\t}
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

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds; fails after SECONDS. A command
# may put what it saw into SEEN for the failure message.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    SEEN=""
    within "$seconds" "$@" || fail "waited ${seconds} s for $what; it did not happen${SEEN:+ (last seen: $SEEN)}"
    log "seen: $what"
}

# ---- Wine --------------------------------------------------------------------------------------

# wine in this scenario's prefix, quiet, with a deadline so that nothing can hang the scenario: the
# loader of the program's half, so `win reg` reaches HKLM\Software in the view the program sees.
win() { timeout 60 env WINEDEBUG=-all "$PROGRAM_WINE" "$@"; }

# The same with the 64-bit loader: Wine's own tools (wineboot, cmd, reg for Wine's settings).
win64() { timeout 60 env WINEDEBUG=-all "$WINE64" "$@"; }

# Ends every process of the prefix and waits for the server to go (as `wineserver -k; -w`).
end_wine_now() {
    timeout 20 "$WINE_SERVER" -k >/dev/null 2>&1
    timeout 20 "$WINE_SERVER" -w >/dev/null 2>&1
    return 0
}

# wininspect inside the prefix, the build of the program's half; plain lines on stdout.
inspect() { win "$INSPECT_EXE" "$@" 2>>"$ARTIFACTS/wininspect.stderr"; }

# xdotool with a deadline: a --sync wait that never comes true must not hang the scenario.
xdo() { timeout 10 xdotool "$@"; }

# The unix path of a C:\ path in this prefix.
unix_path() {
    local p=${1#[Cc]:}
    printf '%s/drive_c%s' "$WINEPREFIX" "${p//\\//}"
}

# The base prefix: made once per Wine version (wineboot takes ~10 s), then copied per scenario.
# Several scenarios may start at once; the first one makes it under a lock.
BASE_RECIPE=1
_base_stamp() {
    echo "recipe $BASE_RECIPE"
    "$WINE64" --version 2>/dev/null
    stat -c %Y /usr/share/wine/wine.inf 2>/dev/null
    # A prefix made before the 32-bit half came (or went) lacks (or has) its syswow64 files.
    [ -x "$WINE32" ] && echo "with the 32-bit half"
}

# make_prefix_at DIR: a new Wine prefix, set up for unattended runs.
make_prefix_at() {
    local dir=$1 stamp
    stamp=$(_base_stamp)
    rm -rf "$dir"
    # No Mono, Gecko or desktop menu entries: nothing here needs them and they only cost time.
    # A 64-bit prefix, made by the 64-bit wineboot whether or not the 32-bit half is installed.
    WINEPREFIX=$dir WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' WINEDEBUG=-all \
        timeout 120 "$WINE64" wineboot -i >"$ARTIFACTS/wineboot.log" 2>&1 || fail "wineboot -i failed (see wineboot.log)"
    # A crash prints its backtrace to the program's stderr instead of waiting in a dialog (HKCU: one
    # key for both halves).
    WINEPREFIX=$dir WINEDEBUG=-all timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >>"$ARTIFACTS/wineboot.log" 2>&1 || fail "could not configure the new prefix"
    WINEPREFIX=$dir timeout 60 "$WINE_SERVER" -w
    echo "$stamp" >"$dir/.e2e-stamp"
}

_make_base_prefix() {
    local base=$E2E_WORK/base-prefix
    if [ -f "$base/.e2e-stamp" ] && [ "$(cat "$base/.e2e-stamp")" = "$(_base_stamp)" ]; then return 0; fi
    log "making the base Wine prefix (once per Wine version)"
    make_prefix_at "$E2E_WORK/base-prefix.new.$$"
    rm -rf "$base"
    mv "$E2E_WORK/base-prefix.new.$$" "$base"
}

# A prefix of our own: a copy of the base, the large read-only DLL folders hard-linked.
_make_prefix() {
    local base=$E2E_WORK/base-prefix
    (
        flock -w 150 9 || exit 1
        _make_base_prefix
    ) 9>"$E2E_WORK/base-prefix.lock" || fail "could not make the base prefix"
    export WINEPREFIX=$E2E_WORK/prefixes/$E2E_NAME
    _end_wine
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    tar -C "$base" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/winsxs -cf - . |
        tar -C "$WINEPREFIX" -xf - || fail "could not copy the base prefix"
    cp -al "$base/drive_c/windows/system32" "$base/drive_c/windows/winsxs" "$WINEPREFIX/drive_c/windows/" ||
        fail "could not link the base prefix's DLLs"
}

_end_wine() {
    [ -d "${WINEPREFIX:-}" ] || return 0
    end_wine_now
}

# A private X display; Xvfb says which number it took once it is ready.
_start_display() {
    local fd_file=$E2E_TMP/display
    : >"$fd_file"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fd_file" >"$ARTIFACTS/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 20 "the X display" test -s "$fd_file"
    export DISPLAY=:$(head -n1 "$fd_file")
    log "display $DISPLAY"
}

# Starts Wine's desktop with its notification area and keeps it up for the whole scenario (Wine
# ends the desktop when the last program of the prefix ends; the checks after an exit need it).
# Wine 8.0 now and then leaves that first program of a fresh prefix hanging before it runs (seen once
# in some 150 scenario starts, with explorer's windows made and the tool never saying a word): then
# Wine is ended and the desktop started once more.
_start_desktop() {
    _start_holder
    if ! within 30 grep -qx 'ready' "$E2E_TMP/holder.out"; then
        log "Wine's desktop did not come up in 30 s: Wine is ended and the desktop started again"
        end_wine_now
        wait "$HOLDER_PID" 2>/dev/null
        _start_holder
    fi
    wait_for 60 "Wine's desktop and notification area" grep -qx 'ready' "$E2E_TMP/holder.out"
}
_start_holder() {
    : >"$E2E_TMP/holder.out"
    env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" hold >"$E2E_TMP/holder.out" 2>>"$ARTIFACTS/holder.stderr" </dev/null &
    HOLDER_PID=$!
}

# ---- start and end -----------------------------------------------------------------------------

# prepare_prefix COMMAND...: runs the setup command in the prefix before Wine's services start. Wine
# reads some things (the drive list) only as they start: the setup's registry values go in at once,
# and Wine is ended after it.
prepare_prefix() {
    SETUP_REG=""
    SETUP_REG_WINE=""
    "$@"
    _import_setup_reg "$SETUP_REG_WINE" /reg:64 setup-wine.reg
    _import_setup_reg "$SETUP_REG" "$PROGRAM_VIEW" setup.reg
    _end_wine
}

# _import_setup_reg VALUES VIEW ARTEFACT: writes the .reg form VALUES into the registry VIEW.
_import_setup_reg() {
    [ -n "$1" ] || return 0
    printf 'REGEDIT4\n%s\n' "$1" >"$WINEPREFIX/drive_c/e2e-setup.reg"
    win64 reg import 'C:\e2e-setup.reg' "$2" >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
        fail "could not write the setup's registry values (see reg.stderr)"
    mv "$WINEPREFIX/drive_c/e2e-setup.reg" "$ARTIFACTS/$3"
}

# one_cd_drive: the usual machine, with one CD-ROM drive D: (no disc behind it).
one_cd_drive() { add_cd_drive d DORVANE_CD; }

e2e_begin() {
    E2E_NAME=$1
    [ "${DORVANE_ARCH:-x64}" = x86 ] && E2E_NAME=$1-x86
    ARTIFACTS=$E2E_WORK/artifacts/$E2E_NAME
    rm -rf "$ARTIFACTS"
    mkdir -p "$ARTIFACTS" "$E2E_WORK/prefixes"
    if [ "${DORVANE_ARCH:-x64}" = x86 ] && ! _can_run_x86; then
        log "SKIPPED: $X86_MISSING"
        exit 77
    fi
    E2E_TMP=$(mktemp -d "$E2E_WORK/tmp.$E2E_NAME.XXXXXX")
    export E2E_BARE_WINE_LOG=$ARTIFACTS/bare-wine-calls.txt
    trap _on_exit EXIT
    trap '_on_signal "interrupted"' INT HUP
    trap '_on_signal "terminated"' TERM
    trap '_on_signal "its deadline of ${E2E_DEADLINE:-150} s passed"' ALRM
    _start_watchdog "${E2E_DEADLINE:-150}"
    local exe machine=8664
    [ "${DORVANE_ARCH:-x64}" = x86 ] && machine=014c
    for exe in Dorvane.exe Ambergate.exe wininspect.exe; do
        [ -f "$DORVANE_BIN/$exe" ] || fail "$DORVANE_BIN/$exe is missing; build with 'make ${DORVANE_ARCH:-x64}'"
        # The program, its companion and the tool that reads its menus are of the half that runs them.
        [ "$(pe_machine "$DORVANE_BIN/$exe")" = $machine ] ||
            fail "$DORVANE_BIN/$exe is no ${DORVANE_ARCH:-x64} program (PE machine $(pe_machine "$DORVANE_BIN/$exe"))"
    done
    unset DISPLAY
    _start_display
    _make_prefix
    [ $# -gt 1 ] && prepare_prefix "${@:2}"
    _start_desktop
    log "prefix $WINEPREFIX ready"
}

# The x86 program runs through Wine's 32-bit half: wine32:i386, whose Unix side is 32-bit Linux
# code. Some kernels are built without 32-bit support; then nothing of it can start.
_can_run_x86() {
    if ! bash "$E2E_DRIVER/can_run_x86.sh"; then
        X86_MISSING="this machine's kernel cannot run 32-bit Linux programs, so Wine cannot run 32-bit Windows ones"
        return 1
    fi
    if [ ! -x "$WINE32" ]; then
        X86_MISSING="Wine's 32-bit half (wine32:i386, the loader $WINE32) is not installed"
        return 1
    fi
    return 0
}

# A call of Debian's `wine`, `wineboot`, `winepath` or `wineserver` scripts would run whichever half
# they pick on this machine (see wine_halves.sh). While the harness runs, those names lead here: the
# call fails, says so on stderr and is noted in E2E_BARE_WINE_LOG, which fails the scenario at its end
# even when the caller ignored the failure.
BARE_WINE_DIR=$E2E_WORK/bare-wine
_guard_bare_wine() {
    local name file
    mkdir -p "$BARE_WINE_DIR"
    for name in wine wine64 wine-stable wineboot winepath wineserver winecfg wineconsole winedbg regedit msiexec; do
        file=$BARE_WINE_DIR/$name
        cat >"$file.$$" <<'GUARD'
#!/bin/sh
# A guard of the end-to-end harness (e2e/driver/lib.sh): name the loader instead.
printf 'e2e: bare call "%s": name the loader (WINE64 or WINE32, see e2e/driver/wine_halves.sh)\n' "${0##*/} $*" >&2
[ -n "${E2E_BARE_WINE_LOG:-}" ] && printf '%s\n' "${0##*/} $*" >>"$E2E_BARE_WINE_LOG"
exit 127
GUARD
        chmod +x "$file.$$"
        mv -f "$file.$$" "$file"
    done
    case ":$PATH:" in *":$BARE_WINE_DIR:"*) ;; *) export PATH=$BARE_WINE_DIR:$PATH ;; esac
}
_guard_bare_wine

# _no_bare_wine_calls: fails the scenario when anything called the bare scripts.
_no_bare_wine_calls() {
    [ -s "${E2E_BARE_WINE_LOG:-/nonexistent}" ] || return 0
    log "FAIL: bare Wine scripts were called (they run whichever half this machine prefers):"
    sed 's/^/    | /' "$E2E_BARE_WINE_LOG" | tee -a "$ARTIFACTS/log.txt" >&2
    return 1
}

# One process that sleeps in `read -t` (no child to leave behind) and stops the scenario when its
# time is up, so the cleanup still runs before CTest's own timeout would kill everything.
_start_watchdog() {
    mkfifo "$E2E_TMP/watchdog"
    exec 8<>"$E2E_TMP/watchdog"
    (
        read -r -t "$1" -u 8
        kill -ALRM $$
    ) >/dev/null 2>&1 &
    WATCHDOG_PID=$!
}

_on_signal() {
    log "FAIL: scenario stopped: $1"
    exit 1
}

e2e_pass() {
    _no_bare_wine_calls || exit 1
    E2E_STATUS=0
    log "PASS: $E2E_NAME"
    exit 0
}

_on_exit() {
    local status=$?
    trap - EXIT INT HUP TERM ALRM
    # Also after a failure: a bare call may be why.
    [ "$status" -eq 0 ] || _no_bare_wine_calls || true
    if [ "$E2E_STATUS" -ne 0 ] || [ "$status" -ne 0 ]; then
        # What the screen and the windows looked like when it went wrong.
        if [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ]; then
            timeout 10 import -window root "$ARTIFACTS/at-failure.png" 2>/dev/null
            timeout 20 xdotool search --onlyvisible --name '.*' 2>/dev/null | while read -r w; do
                echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
            done >"$ARTIFACTS/x-windows-at-failure.txt"
        fi
        [ -n "${WINEPREFIX:-}" ] && [ -n "$HOLDER_PID" ] &&
            { timeout 20 env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" windows all
              timeout 20 env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" processes; } >"$ARTIFACTS/windows-at-failure.txt" 2>&1
        [ "$status" -ne 0 ] || status=1
    fi
    _end_wine
    # The virtual drives' state and the MCI messages they saw.
    local file
    if [ -d "${WINEPREFIX:-}/vcd" ]; then
        for file in "$WINEPREFIX"/vcd/*.state "$WINEPREFIX"/vcd/*.log; do
            [ -f "$file" ] && cp "$file" "$ARTIFACTS/vcd-${file##*/}"
        done
    fi
    local pid
    for pid in "${RUN_PID[@]}" $HOLDER_PID; do
        kill "$pid" 2>/dev/null
    done
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    if [ -n "$WATCHDOG_PID" ]; then
        kill "$WATCHDOG_PID" 2>/dev/null
        wait "$WATCHDOG_PID" 2>/dev/null
    fi
    if [ -n "${WINEPREFIX:-}" ] && [ "${E2E_KEEP_PREFIX:-0}" != 1 ]; then rm -rf "$WINEPREFIX"; fi
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
    log "ended with status $status; artefacts in $ARTIFACTS"
    exit "$status"
}

# ---- the program -------------------------------------------------------------------------------

# install_dorvane 'C:\Dir' [without-companion]: the program's folder as an installer leaves it.
install_dorvane() {
    local dir
    dir=$(unix_path "$1")
    mkdir -p "$dir"
    cp "$DORVANE_BIN/Dorvane.exe" "$dir/"
    if [ "${2:-}" != without-companion ]; then cp "$DORVANE_BIN/Ambergate.exe" "$dir/"; fi
    log "installed into $1${2:+ ($2)}"
}

set_install_path() {
    win reg add "$SETTINGS_KEY" /v InstallPath /d "$1" /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
        fail "could not write InstallPath"
    log "InstallPath = $1"
}

# start_installed: the program as the setup leaves it (in DIR, C:\Program Files\Dorvane, with the
# companion; InstallPath set), started as "main" with no command line; returns once its icon shows.
start_installed() {
    DIR='C:\Program Files\Dorvane'
    install_dorvane "$DIR"
    set_install_path "$DIR"
    start_dorvane main "$DIR\\Dorvane.exe"
    wait_for 30 "the program's icon in the notification area" icon_shown
}

# start_dorvane LABEL 'C:\Dir\Dorvane.exe' [ARGUMENT]: starts the program in the background, with
# Wine's process and notification-icon traces on (they show each CreateProcess call's arguments as
# the program made it, and each Shell_NotifyIcon call), and the calls chosen with trace_calls.
# Its stderr goes to LABEL.stderr and its exit status, once it ends, to LABEL.status. The loader of
# the program's half runs it in its own process, so the trace's first process is the program (a
# loader of the other half would hand it to start.exe, whose process comes first).
start_dorvane() {
    local label=$1 exe=$2
    shift 2
    (
        cd "$WINEPREFIX/drive_c" || exit 99
        WINEDEBUG=+pid,+process,+systray${E2E_TRACE:+,$E2E_TRACE} "$PROGRAM_WINE" "$exe" "$@" \
            >"$ARTIFACTS/$label.stdout" 2>"$ARTIFACTS/$label.stderr" </dev/null
        echo $? >"$E2E_TMP/$label.status"
    ) >/dev/null 2>&1 &
    RUN_PID[$label]=$!
    log "started $label: $exe${*:+ $*}"
}

_has_status() {
    SEEN="$1 still running"
    [ -s "$E2E_TMP/$1.status" ]
}

is_running() { ! _has_status "$1"; }

# wait_exit LABEL SECONDS: waits until the run ends; sets EXIT_STATUS.
wait_exit() {
    wait_for "$2" "$1 to end" _has_status "$1"
    EXIT_STATUS=$(cat "$E2E_TMP/$1.status")
    log "$1 ended with $EXIT_STATUS"
}

# run_pid LABEL: sets PID_OF to the run's Windows process id (four hex digits, as in Wine's traces):
# the first traced line of its stderr is its own.
run_pid() {
    if [ -z "${RUN_WINPID[$1]:-}" ]; then
        RUN_WINPID[$1]=$(grep -a -m1 -oE '^[0-9a-f]{4}:[0-9a-f]{4}:' "$ARTIFACTS/$1.stderr" | cut -d: -f1)
    fi
    [ -n "${RUN_WINPID[$1]}" ] || fail "no trace from $1 yet: cannot tell its process id"
    PID_OF=${RUN_WINPID[$1]}
}

# created_processes LABEL: sets CREATED to the command lines the run handed to CreateProcess, one a
# line, as "app=<application name> <command line>", exactly as the program passed them: Wine's
# trace prints the arguments before it resolves or re-quotes anything (escaped like C strings, other
# characters as a backslash and four hex digits).
created_processes() {
    run_pid "$1"
    CREATED=$(grep -aE "^$PID_OF:[0-9a-f]{4}:trace:process:CreateProcessInternalW app " "$ARTIFACTS/$1.stderr" |
        perl -ne 'if (/CreateProcessInternalW app (\(null\)|L"((?:[^"\\]|\\.)*)") cmdline L"((?:[^"\\]|\\.)*)"/) {
            my ($app, $cmd) = (defined $2 ? $2 : "(null)", $3);
            for ($app, $cmd) { s/\\([0-9a-f]{4}|.)/length $1 > 1 ? chr(hex $1) :
                $1 eq "n" ? "\n" : $1 eq "r" ? "\r" : $1 eq "t" ? "\t" : $1/ge }
            print "app=$app $cmd\n" }')
}

# tray_calls LABEL: sets TRAY_CALLS to the run's Shell_NotifyIcon calls in order, by name
# (NIM_ADD, NIM_MODIFY, NIM_DELETE, ...).
tray_calls() {
    run_pid "$1"
    TRAY_CALLS=$(grep -aoE "^$PID_OF:[0-9a-f]{4}:trace:systray:Shell_NotifyIconW dwMessage = [0-9]+" \
        "$ARTIFACTS/$1.stderr" | awk '{ n = split("NIM_ADD NIM_MODIFY NIM_DELETE NIM_SETFOCUS NIM_SETVERSION", names, " ");
                                         m = $NF + 1; printf "%s%s", sep, (m <= n ? names[m] : "message-" $NF); sep = " " }')
}

# companion_log: sets COMPANION_LOG to the lines Ambergate wrote to %TEMP%\Ambergate.log, time
# stamps cut off (empty when there is no log). The file itself is kept as an artefact.
companion_log() {
    local temp file
    temp=$(inspect temp | tr -d '\r')
    [ -n "$temp" ] || fail "could not ask for the temporary folder"
    file=$(unix_path "${temp%\\}")/Ambergate.log
    COMPANION_LOG=""
    [ -f "$file" ] || return 0
    cp "$file" "$ARTIFACTS/Ambergate.log"
    COMPANION_LOG=$(tr -d '\r' <"$file" | sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} //')
}

# companion_logged: the companion has written at least one line (COMPANION_LOG holds them).
companion_logged() {
    companion_log
    [ -n "$COMPANION_LOG" ]
}

# ---- CD drives ---------------------------------------------------------------------------------

# add_cd_drive LETTER LABEL: a CD-ROM drive in the prefix: LETTER: is a folder (the disc's root)
# whose volume label is LABEL, and Wine's drive list gives it the type cdrom. No real drive stands
# behind it: Wine's own cdaudio driver opens it and says "true" to "status cdaudio media present",
# fails with error 272 on the number of tracks and the length, and takes door commands without
# effect. (With no CD-ROM drive at all, every cdaudio command fails with error 266.)
# Wine's mount manager reads the drives as it starts: this belongs in e2e_begin's setup command.
add_cd_drive() {
    local letter=${1,,}
    local root=$WINEPREFIX/cd-drives/$letter
    mkdir -p "$root"
    # Wine reads a folder drive's volume label from this file.
    printf '%s' "$2" >"$root/.windows-label"
    ln -sfn "$root" "$WINEPREFIX/dosdevices/$letter:"
    setup_reg_wine 'HKEY_LOCAL_MACHINE\Software\Wine\Drives' "$letter:" cdrom
    log "CD-ROM drive ${letter^^}: labelled \"$2\""
}

# ---- virtual CD drives (e2e/driver/vcd) ---------------------------------------------------------

# vcd ARGUMENT...: the vcd tool in this scenario's prefix (`vcd help` says what it does).
vcd() { "$E2E_DRIVER/vcd" "$@"; }

# vcd_drive LETTER: (in e2e_begin's setup command) a CD-ROM drive whose tray, disc and MCI answers
# the scenario controls: our MCI cdaudio driver installed in both halves of the prefix (the first
# time), the drive's tray closed and empty. Put a disc in with `vcd audio` or `vcd data`.
vcd_drive() {
    if [ ! -f "$WINEPREFIX/vcd/.installed" ]; then
        vcd install || fail "could not install the virtual CD driver"
        touch "$WINEPREFIX/vcd/.installed"
    fi
    VCD_NO_REG=1 vcd add "$1" || fail "could not add the virtual drive $1:"
    setup_reg_wine 'HKEY_LOCAL_MACHINE\Software\Wine\Drives' "${1,,}:" cdrom
    log "virtual CD-ROM drive ${1^^}:"
}

# drive_state LETTER FIELD: one field of the drive's state (door, disc, mode, position...), on stdout.
drive_state() { vcd field "$1" "$2"; }

# door_is LETTER STATE: the drive's tray is STATE (open, closed, opening, closing); SEEN says what it is.
door_is() {
    SEEN="the door is $(drive_state "$1" door)"
    [ "$SEEN" = "the door is $2" ]
}

# setup_reg KEY NAME TEXT: (in e2e_begin's setup command) a string value for the program; KEY is
# spelled out (HKEY_CURRENT_USER\...). Written with the others in one go after the setup, in the
# registry view of the program's half (which matters under HKLM\Software only).
setup_reg() {
    SETUP_REG+=$'\n'"[$1]"$'\n'"\"$(c_escape "$2")\"=\"$(c_escape "$3")\""$'\n'
}

# setup_reg_binary KEY NAME HEX: the same for a REG_BINARY value of the bytes HEX ("00070009").
setup_reg_binary() {
    SETUP_REG+=$'\n'"[$1]"$'\n'"\"$(c_escape "$2")\"=hex:$(sed -E 's/(..)/\1,/g; s/,$//' <<<"$3")"$'\n'
}

# setup_reg_wine KEY NAME TEXT: a string value that Wine's own services read (the mount manager's
# drive list), always in the 64-bit view: those services are 64-bit whatever the program is.
setup_reg_wine() {
    SETUP_REG_WINE+=$'\n'"[$1]"$'\n'"\"$(c_escape "$2")\"=\"$(c_escape "$3")\""$'\n'
}

# drive_line LETTER: the drive as the system reports it to programs: "drive D: type=5 label=..."
# (type 5 is DRIVE_CDROM), in DRIVE_LINE.
drive_line() {
    DRIVE_LINE=$(inspect drives | tr -d '\r' | grep "^drive ${1^^}: ")
}

# english_locale: an English locale for Wine, whose ANSI code page is then 1252. Call it before
# e2e_begin (the locale counts when Wine starts).
english_locale() {
    export LANG=C.UTF-8
    unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
}

# trace_calls DLL.FUNCTION...: the program's runs trace each call of these system functions, with
# its arguments as the program passed them and its result (Wine's relay trace, limited to them),
# into their stderr. Belongs in e2e_begin's setup command.
trace_calls() {
    local list
    list=$(IFS=';' && echo "$*")
    setup_reg 'HKEY_CURRENT_USER\Software\Wine\Debug' RelayInclude "$list"
    E2E_TRACE=+relay
}

# mark_trace: remembers how far the trace of the run "main" has come. program_trace PATTERN then
# prints its own lines since the mark whose text after "pid:tid:" matches the extended PATTERN (the
# calls chosen with trace_calls show as "Call dll.Function(" and "Ret  dll.Function(").
mark_trace() { TRACE_MARK=$(wc -l <"$ARTIFACTS/main.stderr"); }
program_trace() {
    run_pid main
    tail -n +$((TRACE_MARK + 1)) "$ARTIFACTS/main.stderr" | grep -aE "^$PID_OF:[0-9a-f]{4}:($1)"
}

# registry_writes LABEL: sets REG_WRITES to the RegSetValueExA calls that the program's own code
# made in the run (traced with trace_calls advapi32.RegSetValueExA; the system DLLs' own writes in
# its process are left out), one a line: "NAME type=TYPE size=SIZE", in decimal, as the program
# passed them. The registry alone cannot show a string's size as passed: the system stores a
# terminator with a string counted without one.
registry_writes() {
    run_pid "$1"
    REG_WRITES=$(grep -aE "^$PID_OF:[0-9a-f]{4}:Call advapi32\.RegSetValueExA\(" "$ARTIFACTS/$1.stderr" |
        perl -e '
            # Wine loads the program at the base that its file asks for.
            open my $exe, "<:raw", $ARGV[0] or die "$ARGV[0]: $!";
            read $exe, my $image, 4096;
            my $nt = unpack "V", substr($image, 0x3C, 4);
            my $optional = $nt + 24;
            my ($base, $size) = unpack("v", substr($image, $optional, 2)) == 0x20B
                ? (unpack("Q<", substr($image, $optional + 24, 8)), unpack("V", substr($image, $optional + 56, 4)))
                : (unpack("V", substr($image, $optional + 28, 4)), unpack("V", substr($image, $optional + 56, 4)));
            while (<STDIN>) {
                # (key, name pointer "name", reserved, type, data, size) ret=caller
                next unless /RegSetValueExA\( [0-9a-f]+, [0-9a-f]+\ "((?:[^"\\]|\\.)*)", [0-9a-f]+,
                             ([0-9a-f]+), [0-9a-f]+, ([0-9a-f]+) \)\ ret=([0-9a-f]+)/x;
                my $caller = hex $4;
                # Type and size are DWORDs: on x64 the trace shows whole 64-bit slots, whose upper
                # halves the callee never reads.
                print "$1 type=", hex($2) & 0xFFFFFFFF, " size=", hex($3) & 0xFFFFFFFF, "\n"
                    if $caller >= $base && $caller < $base + $size;
            }' "$DORVANE_BIN/Dorvane.exe")
}

# ---- windows and message boxes -----------------------------------------------------------------

# visible_windows_of LABEL: sets WINDOWS_OF to the run's visible top-level windows (wininspect lines).
visible_windows_of() {
    run_pid "$1"
    WINDOWS_OF=$(inspect windows | tr -d '\r' | grep -F " pid=$PID_OF " || true)
}

# Message boxes captioned TITLE: wininspect's lines into MSGBOX (empty when there is none).
_read_msgbox() {
    MSGBOX=$(inspect msgbox "$1" | tr -d '\r') && [ -n "$MSGBOX" ] && return 0
    SEEN="visible windows: $(inspect windows | tr -d '\r' | sed -E 's/.* pid=([0-9a-f]+) .* class=(".*") title=(".*")$/[\1 \2 \3]/' | tr '\n' ' ')"
    return 1
}

# no_msgbox TITLE: no message box captioned TITLE is shown (SEEN says what there is).
no_msgbox() {
    ! _read_msgbox "$1" || { SEEN=$MSGBOX; return 1; }
}

# wait_msgbox TITLE SECONDS: waits for a message box; MSGBOX holds its description, MSGBOX_TEXT
# the (escaped) text of its message, MSGBOX_BUTTONS its buttons' texts (comma-separated),
# MSGBOX_PID its process and MSGBOX_OWNER its owner window (16 hex digits from either build of the
# tool: the 32-bit one prints a handle in 8).
wait_msgbox() {
    wait_for "$2" "a message box captioned \"$1\"" _read_msgbox "$1"
    echo "$MSGBOX" >>"$ARTIFACTS/msgboxes.txt"
    [ "$(grep -c '^msgbox ' <<<"$MSGBOX")" -eq 1 ] || fail "expected one message box \"$1\", saw: $MSGBOX"
    # The message is the static control that holds text (the icon's static is empty).
    MSGBOX_TEXT=$(sed -nE 's/^static id=[0-9]+ visible=1 class="Static" text="(.+)"$/\1/p' <<<"$MSGBOX")
    MSGBOX_BUTTONS=$(sed -nE 's/^button id=[0-9]+ visible=1 class="Button" text="(.*)"$/\1/p' <<<"$MSGBOX" | paste -sd,)
    MSGBOX_PID=$(sed -nE 's/^msgbox .* pid=([0-9a-f]+) .*/\1/p' <<<"$MSGBOX")
    MSGBOX_OWNER=$(sed -nE 's/^msgbox .* owner=([0-9a-fA-F]+) .*/\1/p' <<<"$MSGBOX")
    [ -z "$MSGBOX_OWNER" ] || printf -v MSGBOX_OWNER '%016X' "0x$MSGBOX_OWNER"
}

# answer_msgbox TITLE KEY: presses KEY in the message box as a user would (no window manager
# here, so the box gets the keyboard focus first).
answer_msgbox() {
    local window
    window=$(xdo search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$window" ] || fail "no X window for the message box \"$1\""
    xdo windowfocus --sync "$window" || fail "could not focus the message box"
    xdo key --clearmodifiers "$2"
    log "pressed $2 in \"$1\""
}

# ---- dialogs -----------------------------------------------------------------------------------

# Dialogs titled TITLE, read back from the running program with the wide calls (wininspect dialog):
# DIALOG holds wininspect's lines, DIALOG_CONTROLS the controls as "control id=N class=\"C\" visible=V
# enabled=E [checked=C] [hotkey=0xNNNN] [password] text=\"UTF-8\"" (screen places left out),
# DIALOG_RECT the dialog's screen rectangle (left,top,right,bottom), DIALOG_FOCUS the id of the
# control with the keyboard focus. Status 1 (SEEN says what is shown) when there is none.
read_dialog() {
    local title=$1
    # A title beyond ASCII goes to the tool as UTF-16 in hex, safe from the locale's conversions.
    if LC_ALL=C grep -q '[^ -~]' <<<"$title"; then
        title="=$(printf %s "$title" | iconv -f UTF-8 -t UTF-16BE | od -An -tx1 | tr -d ' \n')"
    fi
    DIALOG=$(inspect dialog "$title" | tr -d '\r') && [ -n "$DIALOG" ] || {
        SEEN="visible windows: $(inspect windows | tr -d '\r' | sed -E 's/.* class=(".*") title=(".*")$/[\1 \2]/' | tr '\n' ' ')"
        return 1
    }
    DIALOG_CONTROLS=$(grep '^control ' <<<"$DIALOG" | sed -E 's/ rect=[-0-9,]+//')
    DIALOG_RECT=$(sed -nE '1s/^dialog .* rect=([-0-9,]+) .*/\1/p' <<<"$DIALOG")
    DIALOG_FOCUS=$(sed -nE 's/^focus id=(-?[0-9]+)$/\1/p' <<<"$DIALOG")
}

# wait_dialog TITLE SECONDS: waits until a dialog titled TITLE shows (read_dialog's variables set).
wait_dialog() {
    wait_for "$2" "the dialog \"$1\"" read_dialog "$1"
    echo "$DIALOG" >>"$ARTIFACTS/dialogs.txt"
    [ "$(grep -c '^dialog ' <<<"$DIALOG")" -eq 1 ] || fail "expected one dialog \"$1\", saw: $DIALOG"
}

# no_dialog TITLE: no dialog titled TITLE is shown.
no_dialog() {
    ! read_dialog "$1" || { SEEN="it is still shown"; return 1; }
}

# control_text ID: the text of control ID in the dialog read last (C escapes as wininspect prints them).
control_text() {
    sed -nE "s/^control id=$1 .* text=\"(.*)\"\$/\1/p" <<<"$DIALOG_CONTROLS" | head -n1
}

# dialog_shot NAME: a screenshot of the dialog read last, kept as artefact NAME.png.
dialog_shot() {
    local box
    box=$(awk -F, '{ printf "%dx%d+%d+%d", $3 - $1, $4 - $2, $1, $2 }' <<<"$DIALOG_RECT")
    timeout 20 import -window root "$E2E_TMP/screen.png" || fail "could not take a screenshot"
    convert "$E2E_TMP/screen.png" -crop "$box" +repage "$ARTIFACTS/$1.png" || fail "could not cut out the dialog"
    log "dialog screenshot $1.png ($box)"
}

# focus_dialog TITLE: gives the keyboard to the dialog's X window (no window manager here).
focus_dialog() {
    local window
    window=$(xdo search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$window" ] || fail "no X window for the dialog \"$1\""
    xdo windowfocus --sync "$window" || fail "could not focus the dialog \"$1\""
}

# click_control ID: a left click in the middle of control ID of the dialog read last.
click_control() {
    local rect
    rect=$(grep -m1 "^control id=$1 " <<<"$DIALOG" | sed -nE 's/.* rect=([-0-9,]+) .*/\1/p')
    [ -n "$rect" ] || fail "the dialog has no control $1"
    IFS=, read -r l t r b <<<"$rect"
    xdo mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
    log "clicked control $1"
}

# ---- the notification area ---------------------------------------------------------------------

# The tray: Wine shows the notification icons in a window of its own, left to right.
# Sets TRAY_X, TRAY_Y (screen position of its client area); fails (status 1) when it is hidden.
_tray_geometry() {
    local window
    window=$(xdo search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1)
    [ -n "$window" ] || return 1
    eval "$(xdo getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH)=' | sed 's/^/TRAY_/')"
    TRAY_W=$TRAY_WIDTH
}

# Counts the pixels of our icon's colours in the first icon slot of a screenshot (20x20 at the
# tray's left edge): the letters are blue (0000FF and 000080), the diamond yellow (FFFF00).
_icon_colours() {
    convert "$1" -crop "20x20+$TRAY_X+$TRAY_Y" +repage -depth 8 txt:- |
        awk 'NR > 1 { gsub(/[()]/, "", $2); split($2, v, ","); r = v[1]; g = v[2]; b = v[3];
                      if (r < 64 && g < 64 && b >= 112) blue++;
                      if (r >= 192 && g >= 192 && b < 64) yellow++ }
             END { printf "%d %d\n", blue, yellow }'
}

# tray_shot NAME: a screenshot, and the tray part of it saved as artefact NAME.png.
# Sets ICON_BLUE and ICON_YELLOW (0 0 when the tray is hidden).
tray_shot() {
    local shot=$E2E_TMP/screen.png
    timeout 20 import -window root "$shot" || fail "could not take a screenshot"
    if _tray_geometry; then
        convert "$shot" -crop "200x60+0+0" +repage "$ARTIFACTS/$1.png"
        read -r ICON_BLUE ICON_YELLOW < <(_icon_colours "$shot")
    else
        cp "$shot" "$ARTIFACTS/$1.png"
        ICON_BLUE=0 ICON_YELLOW=0
    fi
}

# Our icon is in the first slot: enough blue for the letters and some yellow for the diamond.
icon_shown() {
    tray_shot tray
    SEEN="$ICON_BLUE blue and $ICON_YELLOW yellow pixels in the first icon slot"
    ((ICON_BLUE >= 40 && ICON_YELLOW >= 2))
}

icon_absent() {
    tray_shot tray
    SEEN="$ICON_BLUE blue and $ICON_YELLOW yellow pixels in the first icon slot"
    ((ICON_BLUE < 5 && ICON_YELLOW == 0))
}

# Points at the icon as a user would; the mouse stays there.
point_at_icon() {
    _tray_geometry || fail "the notification area is not shown"
    xdo mousemove $((TRAY_X + 10)) $((TRAY_Y + 10))
}

move_mouse_away() { xdo mousemove 900 700; }

click_icon() {
    point_at_icon
    xdo click "$1"
    log "clicked the icon with button $1"
}

# The visible X window of a pop-up menu that the program opened (Wine names X windows' class after
# the program's executable): its only one without a name. (A dialog that has just closed can still
# be mapped for a moment, as Wine waits for a window manager that is not there.)
_find_menu() {
    local window
    MENU_WINDOW=""
    for window in $(xdo search --onlyvisible --classname '^dorvane\.exe$' 2>/dev/null); do
        if [ -z "$(xdo getwindowname "$window" 2>/dev/null)" ]; then
            MENU_WINDOW=$window
            return 0
        fi
    done
    return 1
}

# open_tray_menu: opens the tray menu with a right click and gives it the keyboard.
open_tray_menu() {
    click_icon 3
    wait_for 10 "the tray menu" _find_menu
    # The mouse leaves the menu so that only the keyboard chooses.
    move_mouse_away
    # A window found as it maps may not take the focus yet: find it again until one does.
    wait_for 10 "the tray menu to take the keyboard" _focus_menu
}
_focus_menu() {
    SEEN="no menu window that takes the focus"
    _find_menu && timeout 2 xdotool windowfocus --sync "$MENU_WINDOW" 2>/dev/null
}

# menu_keys KEY...: types KEYs into the open menu (arrows, Return, Escape...).
menu_keys() {
    xdo key --delay 100 "$@"
    log "typed $* in the menu"
}

# tray_menu_keys KEY...: opens the tray menu with a right click and types KEYs into it.
tray_menu_keys() {
    open_tray_menu
    menu_keys "$@"
}

# read_menu LABEL: reads the open pop-up menu of the run LABEL from inside the program
# (wininspect menu): the texts, states and marks the program gave its items, not pixels.
# Sets MENU to the menu's tree, one entry a line, texts in UTF-8:
#   item ID "TEXT" [type=0xN] [state=0xN] [checked=MARK] [unchecked=MARK] [open]
#   popup "TEXT" [state=0xN] [checked=MARK] [open]        (its items follow, indented by two blanks)
#   separator
# type and state are the item's MFT_ and MFS_ bits (MFT_STRING and 0 left out); a MARK is "#ID"
# for the program's bitmap resource ID with the same pixels, else WIDTHxHEIGHT, or "invalid";
# "open" marks a sub-menu that is shown. MENU_RECTS holds the shown menu windows' screen
# rectangles, "left,top,right,bottom" a line. Status 1 (SEEN says why) when no menu of LABEL is open.
read_menu() {
    local out
    run_pid "$1"
    out=$(inspect menu | tr -d '\r')
    echo "$out" >>"$ARTIFACTS/menus.txt"
    SEEN=$(head -n1 <<<"$out")
    [ "$SEEN" = "menu pid=$PID_OF" ] || { SEEN="no menu of $1 ($SEEN)"; return 1; }
    MENU_RECTS=$(sed -nE 's/^menu-window rect=(.*)$/\1/p' <<<"$out")
    MENU=$(grep -vE '^(menu pid=|menu-window )' <<<"$out" |
        perl -CO -pe 's/\\(\\|u([0-9A-F]{4}))/defined $2 ? chr(hex $2) : "\\\\"/ge')
}

# menu_shot LABEL NAME: a screenshot of the open menu of LABEL with its shown sub-menus, saved
# as artefact NAME.png (MENU is read again on the way).
menu_shot() {
    read_menu "$1" || fail "no open menu to photograph: $SEEN"
    local box
    box=$(awk -F, 'NR == 1 || $1 < l { l = $1 } NR == 1 || $2 < t { t = $2 }
                   NR == 1 || $3 > r { r = $3 } NR == 1 || $4 > b { b = $4 }
                   END { printf "%dx%d+%d+%d", r - l, b - t, l, t }' <<<"$MENU_RECTS")
    timeout 20 import -window root "$E2E_TMP/screen.png" || fail "could not take a screenshot"
    convert "$E2E_TMP/screen.png" -crop "$box" +repage "$ARTIFACTS/$2.png" || fail "could not cut out the menu"
    log "menu screenshot $2.png ($box)"
}

# wait_menu LABEL WHAT EXPECTED [REGEX]: the open menu of LABEL (only its lines that match the
# extended REGEX, when given) becomes EXPECTED within 10 s: the poller rewrites the open menu
# twice a second. A failure shows the difference to the last menu read.
wait_menu() {
    local deadline=$((${EPOCHREALTIME/./} + 10000000)) seen=""
    while :; do
        if read_menu "$1"; then
            seen=$MENU
            [ $# -lt 4 ] || seen=$(grep -E -- "$4" <<<"$MENU")
            [ "$seen" != "$3" ] || break
        fi
        ((${EPOCHREALTIME/./} < deadline)) || break
        sleep 0.2
    done
    check_lines "$2" "$3" "$seen"
}

# join_menu_shots NAME SHOT...: the artefacts SHOT.png side by side in one artefact NAME.png.
join_menu_shots() {
    local name=$1 shot files=()
    shift
    for shot in "$@"; do files+=("$ARTIFACTS/$shot.png"); done
    convert "${files[@]}" -background white -gravity north +append "$ARTIFACTS/$name.png" ||
        fail "could not join the menu screenshots"
    rm -f "${files[@]}"
    log "menu screenshots joined in $name.png"
}

# tray_tooltip: sets TOOLTIP to the text of the visible tooltip window (empty when none shows).
tray_tooltip() {
    TOOLTIP=$(inspect windows | tr -d '\r' |
        sed -nE 's/^window .* visible=1 .* class="tooltips_class32" title="(.*)"$/\1/p' | head -n1)
    SEEN="no visible tooltip"
    [ -n "$TOOLTIP" ]
}

# tooltip_is TEXT: the icon's tooltip reads TEXT. The mouse rests on the icon; when no tooltip has
# shown for a while it moves to an empty part of the notification area and back, as a tooltip
# shows once per visit of its icon (a click hides it until the mouse has left the icon).
TIP_VISIT=0
tooltip_is() {
    tray_tooltip && [ "$TOOLTIP" = "$1" ] && return 0
    SEEN="tooltip \"${TOOLTIP:-}\""
    if [ -z "${TOOLTIP:-}" ] && ((${EPOCHREALTIME/./} - TIP_VISIT > 1500000)); then
        _tray_geometry || fail "the notification area is not shown"
        xdo mousemove $((TRAY_X + TRAY_W - 10)) $((TRAY_Y + 10))
        sleep 0.2
        point_at_icon
        TIP_VISIT=${EPOCHREALTIME/./}
    fi
    return 1
}

# ---- registry ----------------------------------------------------------------------------------

# reg_dump KEY [VIEW]: sets REG to the key with its values and subkeys as wininspect prints them
# ("missing ..." when it is not there), read in the registry VIEW (/reg:64 or /reg:32; by default
# the program's). Also saved as an artefact.
reg_dump() {
    REG=$(inspect reg "$1" "${2:-$PROGRAM_VIEW}" | tr -d '\r')
    [ -n "$REG" ] || fail "could not read the registry key $1"
    echo "$REG" >>"$ARTIFACTS/registry.txt"
}
