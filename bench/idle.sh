#!/usr/bin/env bash
# What Dorvane costs while it sits in the tray, next to the least a tray program can be
# (bench/mintray.c: an icon and a message loop), both measured in the same run.
#
#   bash bench/idle.sh [-t SECONDS] [-s SAMPLES] [x64 build folder]   (make x64 first; default build/x64)
#
# A private Xvfb, a fresh Wine prefix with one virtual CD-ROM drive (D:, a data disc, e2e/driver/vcd)
# and Wine's desktop come from e2e/driver/lib.sh. The minimal program starts first, then Dorvane
# (installed as its installer leaves it, menu closed, lock off); for each, the time from its start to
# its icon in the tray: its first Shell_NotifyIcon call, seen in Wine's +systray trace (polled every
# 10 ms), the median of SAMPLES starts (default 7; -s), one program after the other, each ended once
# it made that call (a loaded machine moves a single start a lot). Then both start once more and sit idle
# side by side for SECONDS (default 60), and for each Linux process that runs one of them the script
# reads, over that interval:
#   CPU time      user + system time of all its threads (/proc/PID/task/*/schedstat, in ns)
#   wake-ups/s    voluntary + involuntary context switches of all its threads (/proc/PID/task/*/status)
#   memory        resident set at the end (VmRSS)
# Then the disc is taken out (the drive's button opens the tray) and put back (the tray pushed in):
# for each, the time from the drive's command to Dorvane's next picture (its next NIM_MODIFY; the
# command includes the virtual drive telling the programs, which starts a Wine process). Last,
# Dorvane is ended and started again with the password lock on, and both sit idle once more: the
# lock keeps the door shut with its tick. Everything is printed with the ratios Dorvane / minimal.
# The machine's own load moves the absolute numbers; the ratios, taken side by side, much less. Logs
# and a screenshot of the tray go to <work>/artifacts/idle (work: $BENCH_WORK, default build/bench).
# Not part of `make test`.

set -o nounset -o pipefail

INTERVAL=60
SAMPLES=7
while getopts 't:s:h' option; do
    case $option in
    t) INTERVAL=$OPTARG ;;
    s) SAMPLES=$OPTARG ;;
    *) awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[[ $INTERVAL =~ ^[1-9][0-9]*$ ]] || { echo "idle.sh: -t takes whole seconds" >&2; exit 2; }
[[ $SAMPLES =~ ^[1-9][0-9]*$ ]] || { echo "idle.sh: -s takes a number of starts" >&2; exit 2; }

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DORVANE_BIN=$(cd "${1:-$ROOT/build/x64}" 2>/dev/null && pwd) ||
    { echo "idle.sh: no folder ${1:-$ROOT/build/x64}; make x64 first" >&2; exit 2; }
export DORVANE_BIN
export E2E_WORK=${BENCH_WORK:-$ROOT/build/bench}
export E2E_DEADLINE=$((2 * INTERVAL + 300))
mkdir -p "$E2E_WORK"
source "$ROOT/e2e/driver/lib.sh"

# The yardstick, cross-built beside the work folder whenever its source is newer.
MINTRAY=$E2E_WORK/mintray.exe
if [ ! -f "$MINTRAY" ] || [ "$ROOT/bench/mintray.c" -nt "$MINTRAY" ]; then
    x86_64-w64-mingw32-gcc -Wall -Wextra -Wno-unused-parameter -Os -s -mwindows "$ROOT/bench/mintray.c" \
        -o "$MINTRAY" -lshell32 || { echo "idle.sh: could not build bench/mintray.c" >&2; exit 1; }
fi

# A drive to watch (without one Dorvane only asks, in a message box, whether to end), whose disc can
# come and go as on Windows.
prepare() {
    vcd_drive d
    vcd data d BENCH_DISC
}
e2e_begin idle prepare

# ---- start-up --------------------------------------------------------------------------------------

declare -A UNIX_PID=() TO_ICON=()

_now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

_traced_call() { grep -aq 'trace:systray:Shell_NotifyIconW' "$ARTIFACTS/$1.stderr"; }

# start LABEL 'C:\...\Program.exe': starts it with Wine's tray trace on and waits for its first tray
# call. Both are x64 programs, run by the 64-bit loader by name, which becomes the program's process
# (the `wine` script would pick the 32-bit loader where wine32 is installed, which hands a 64-bit
# program to another process).
start() {
    local label=$1 exe=$2 start deadline
    start=$(_now_ms)
    (cd "$WINEPREFIX/drive_c" && WINEDEBUG=-all,+systray exec "$WINE64" "$exe") \
        >"$ARTIFACTS/$label.stdout" 2>"$ARTIFACTS/$label.stderr" </dev/null &
    UNIX_PID[$label]=$!
    RUN_PID[$label]=$!
    deadline=$((start + 60000))
    until _traced_call "$label"; do
        (($(_now_ms) < deadline)) || fail "$label made no tray call in 60 s (see $label.stderr)"
        kill -0 "${UNIX_PID[$label]}" 2>/dev/null || fail "$label ended before it showed an icon"
        sleep 0.01
    done
    TO_ICON[$label]=$(($(_now_ms) - start))
    log "$label: first tray call after ${TO_ICON[$label]} ms"
}

cp "$MINTRAY" "$WINEPREFIX/drive_c/mintray.exe"
DIR=$INSTALL_DIR
install_dorvane "$DIR"
set_install_path "$DIR"

declare -A EXE=([minimal]='C:\mintray.exe' [dorvane]="$DIR\\Dorvane.exe") STARTS=()
for ((sample = 1; sample <= SAMPLES; sample++)); do
    for label in minimal dorvane; do
        start "$label-$sample" "${EXE[$label]}"
        STARTS[$label]+="${TO_ICON[$label-$sample]} "
        kill "${UNIX_PID[$label-$sample]}" && wait "${UNIX_PID[$label-$sample]}" 2>/dev/null
        # Wine's desktop takes a while over a program ended by force; the next start would wait for it.
        sleep 3
    done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for label in minimal dorvane; do
    TO_ICON[$label]=$(median "${STARTS[$label]}")
    log "$label: start to icon ${STARTS[$label]}ms, median ${TO_ICON[$label]} ms"
done
# The runs ended by force may leave their icons in the tray: the tray's screenshot at the end shows them all.
start minimal-kept 'C:\mintray.exe'
start dorvane-kept "$DIR\\Dorvane.exe"
sleep 2
UNIX_PID[minimal]=${UNIX_PID[minimal-kept]}
UNIX_PID[dorvane]=${UNIX_PID[dorvane-kept]}
NOTE=""
if BOX=$(read_msgbox Dorvane); then
    NOTE="note: Dorvane idles in a message box: $(sed -nE 's/^static .* text="(.+)"$/\1/p' <<<"$BOX")"
    log "$NOTE"
fi

# ---- idle ------------------------------------------------------------------------------------------

# Per thread "tid cpu-ns switches"; threads that start during the interval count from zero.
thread_counters() {
    local task cpu switches
    for task in /proc/"$1"/task/*; do
        read -r cpu _ 2>/dev/null <"$task/schedstat" || continue
        switches=$(awk '/^(non)?voluntary_ctxt_switches:/ { n += $2 } END { print n + 0 }' "$task/status" 2>/dev/null)
        echo "${task##*/} $cpu $switches"
    done
}

# delta BEFORE AFTER: "cpu-ns switches" over the threads alive at the end.
delta() {
    awk 'NR == FNR { cpu[$1] = $2; sw[$1] = $3; next }
         { c += $2 - cpu[$1]; s += $3 - sw[$1] } END { printf "%d %d\n", c, s }' <(echo "$1") <(echo "$2")
}

declare -A CPU_NS=() SWITCHES=() RSS_KB=() ELAPSED=()

# idle LABEL...: the runs sit idle side by side for INTERVAL seconds; sets CPU_NS, SWITCHES, RSS_KB and
# ELAPSED (ms) of each.
idle() {
    local label began
    declare -A before=()
    log "idle for $INTERVAL s: $*"
    for label in "$@"; do
        before[$label]=$(thread_counters "${UNIX_PID[$label]}")
        log "$label: process ${UNIX_PID[$label]}, threads: $(wc -l <<<"${before[$label]}")"
    done
    began=$(_now_ms)
    sleep "$INTERVAL"
    for label in "$@"; do
        kill -0 "${UNIX_PID[$label]}" 2>/dev/null || fail "$label ended while idle"
        read -r CPU_NS[$label] SWITCHES[$label] < <(delta "${before[$label]}" "$(thread_counters "${UNIX_PID[$label]}")")
        RSS_KB[$label]=$(awk '/^VmRSS:/ { print $2 }' /proc/"${UNIX_PID[$label]}"/status)
        ELAPSED[$label]=$(($(_now_ms) - began))
    done
}
idle minimal dorvane
slot_shot tray-at-end >/dev/null

# ---- the disc out and back -----------------------------------------------------------------------

_modifies() { grep -ac 'trace:systray:Shell_NotifyIconW dwMessage = 1,' "$ARTIFACTS/dorvane-kept.stderr"; }

# follow WHAT COMMAND...: the ms from COMMAND's start to Dorvane's next picture (looked for every
# 10 ms), into FOLLOW[WHAT], and how long COMMAND itself took, into COMMAND_MS[WHAT].
declare -A FOLLOW=() COMMAND_MS=()
follow() {
    local what=$1 pictures began
    shift
    pictures=$(_modifies)
    began=$(_now_ms)
    "$@" || fail "could not do it: $*"
    COMMAND_MS[$what]=$(($(_now_ms) - began))
    until (($(_modifies) > pictures)); do
        (($(_now_ms) - began < 10000)) || fail "Dorvane's picture did not follow: $what"
        sleep 0.01
    done
    FOLLOW[$what]=$(($(_now_ms) - began))
    log "the picture followed ($what) after ${FOLLOW[$what]} ms"
}
follow out vcd eject d
follow back vcd push d

# ---- the lock on ---------------------------------------------------------------------------------

kill "${UNIX_PID[dorvane]}" && wait "${UNIX_PID[dorvane]}" 2>/dev/null
win reg add "$SETTINGS_KEY" /v Password /d bench /f >/dev/null && win reg add "$SETTINGS_KEY" /v Locked /d 1 /f >/dev/null ||
    fail "could not turn the lock on"
start locked "$DIR\\Dorvane.exe"
idle minimal locked

# ---- report ----------------------------------------------------------------------------------------

row() {
    awk -v what="$1" -v d="$2" -v m="$3" -v format="$4" 'BEGIN {
        ratio = m == "-" ? "" : m > 0 ? sprintf("%.2f", d / m) : d > 0 ? "(minimal: 0)" : "-"
        printf "%-40s %12s %12s %16s\n", what, sprintf(format, d), m == "-" ? m : sprintf(format, m), ratio }'
}
ms() { awk -v n="$1" 'BEGIN { print n / 1e6 }'; }
per_second() { awk -v n="${SWITCHES[$1]}" -v t="${ELAPSED[$1]}" 'BEGIN { print n * 1000 / t }'; }
{
    echo "Idle for $INTERVAL s twice, side by side under $("$WINE64" --version 2>/dev/null); Dorvane from $DORVANE_BIN"
    printf "%-40s %12s %12s %16s\n" "" Dorvane minimal Dorvane/minimal
    row "start to icon in the tray, ms (median)" "${TO_ICON[dorvane]}" "${TO_ICON[minimal]}" "%d"
    row "CPU time, ms" "$(ms "${CPU_NS[dorvane]}")" "$(ms "${CPU_NS[minimal]}")" "%.1f"
    row "wake-ups per second" "$(per_second dorvane)" "$(per_second minimal)" "%.2f"
    row "resident memory, KB" "${RSS_KB[dorvane]}" "${RSS_KB[minimal]}" "%d"
    row "picture after the disc went out, ms" "${FOLLOW[out]}" - "%d"
    row "  the drive's command alone, ms" "${COMMAND_MS[out]}" - "%d"
    row "picture after the disc came back, ms" "${FOLLOW[back]}" - "%d"
    row "  the drive's command alone, ms" "${COMMAND_MS[back]}" - "%d"
    row "lock on: CPU time, ms" "$(ms "${CPU_NS[locked]}")" "$(ms "${CPU_NS[minimal]}")" "%.1f"
    row "lock on: wake-ups per second" "$(per_second locked)" "$(per_second minimal)" "%.2f"
    [ -z "$NOTE" ] || echo "$NOTE"
} | tee "$ARTIFACTS/results.txt"
e2e_pass
