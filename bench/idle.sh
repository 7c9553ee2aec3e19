#!/usr/bin/env bash
# What Dorvane costs while it sits in the tray, next to the least a tray program can be
# (bench/mintray.c: an icon and a message loop), both measured in the same run.
#
#   bash bench/idle.sh [-t SECONDS] [x64 build folder]     (make x64 first; default folder build/x64)
#
# A private Xvfb, a fresh Wine prefix with one CD-ROM drive (D:, a data disc) and Wine's desktop
# come from e2e/driver/lib.sh. The minimal program starts first, then Dorvane (installed as its
# installer leaves it); for each, the time from its start to its icon in the tray: its first
# Shell_NotifyIcon call, seen in Wine's +systray trace (polled every 10 ms; a screenshot of the
# tray, far slower, then checks that the icon is drawn). Then both sit idle side by side for
# SECONDS (default 60), and for each Linux process that runs one of them the script reads, over
# that interval:
#   CPU time      user + system time of all its threads (/proc/PID/task/*/schedstat, in ns)
#   wake-ups/s    voluntary + involuntary context switches of all its threads (/proc/PID/task/*/status)
#   memory        resident set at the end (VmRSS)
# and prints them with the ratios Dorvane / minimal. The machine's own load moves the absolute
# numbers; the ratios, taken side by side, much less. Logs and a screenshot of the tray go to
# <work>/artifacts/idle (work: $BENCH_WORK, default build/bench). Not part of `make test`.

set -o nounset -o pipefail

INTERVAL=60
while getopts 't:h' option; do
    case $option in
    t) INTERVAL=$OPTARG ;;
    *) awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[[ $INTERVAL =~ ^[1-9][0-9]*$ ]] || { echo "idle.sh: -t takes whole seconds" >&2; exit 2; }

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DORVANE_BIN=$(cd "${1:-$ROOT/build/x64}" 2>/dev/null && pwd) ||
    { echo "idle.sh: no folder ${1:-$ROOT/build/x64}; make x64 first" >&2; exit 2; }
export DORVANE_BIN
export E2E_WORK=${BENCH_WORK:-$ROOT/build/bench}
export E2E_DEADLINE=$((INTERVAL + 300))
mkdir -p "$E2E_WORK"
source "$ROOT/e2e/driver/lib.sh"

# The yardstick, cross-built beside the work folder whenever its source is newer.
MINTRAY=$E2E_WORK/mintray.exe
if [ ! -f "$MINTRAY" ] || [ "$ROOT/bench/mintray.c" -nt "$MINTRAY" ]; then
    x86_64-w64-mingw32-gcc -Wall -Wextra -Wno-unused-parameter -Os -s -mwindows "$ROOT/bench/mintray.c" \
        -o "$MINTRAY" -lshell32 || { echo "idle.sh: could not build bench/mintray.c" >&2; exit 1; }
fi

# A drive to watch: without one Dorvane only asks, in a message box, whether to end.
prepare() { add_cd_drive d BENCH_DISC; }
e2e_begin idle prepare

# ---- start-up --------------------------------------------------------------------------------------

declare -A UNIX_PID=() TO_ICON=()

_now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

_traced_call() { grep -aq 'trace:systray:Shell_NotifyIconW' "$ARTIFACTS/$1.stderr"; }

# Non-white pixels in icon slot SLOT of the tray window (20 px a slot, left to right). The window
# shows with the first icon and then stays.
_slot_drawn() {
    local window drawn
    window=$(xdo search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n1)
    [ -n "$window" ] || { echo "no notification area"; return 1; }
    timeout 10 import -window "$window" "$E2E_TMP/tray.png" 2>/dev/null || return 1
    drawn=$(convert "$E2E_TMP/tray.png" -crop "20x20+$((20 * $1))+0" +repage -depth 8 txt:- |
        awk 'NR > 1 && $3 != "#FFFFFF" { n++ } END { print n + 0 }')
    echo "$drawn drawn pixels in slot $1"
    ((drawn >= 20))
}

# start LABEL SLOT 'C:\...\Program.exe': starts it with Wine's tray trace on; waits for its first
# tray call, then for its icon drawn in SLOT. Both are x64 programs, run by the 64-bit loader by
# name, which becomes the program's process (the `wine` script would pick the 32-bit loader
# where wine32 is installed, which hands a 64-bit program to another process).
start() {
    local label=$1 slot=$2 exe=$3 start deadline
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
    wait_for 60 "the icon of $label drawn" _slot_drawn "$slot"
}

cp "$MINTRAY" "$WINEPREFIX/drive_c/mintray.exe"
DIR=$INSTALL_DIR
install_dorvane "$DIR"
set_install_path "$DIR"

start minimal 0 'C:\mintray.exe'
start dorvane 1 "$DIR\\Dorvane.exe"
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

declare -A BEFORE=() CPU_NS=() SWITCHES=() RSS_KB=()
log "both idle for $INTERVAL s"
for label in minimal dorvane; do
    BEFORE[$label]=$(thread_counters "${UNIX_PID[$label]}")
    log "$label: process ${UNIX_PID[$label]}, threads: $(wc -l <<<"${BEFORE[$label]}")"
done
began=$(_now_ms)
sleep "$INTERVAL"
for label in minimal dorvane; do
    kill -0 "${UNIX_PID[$label]}" 2>/dev/null || fail "$label ended while idle"
    read -r CPU_NS[$label] SWITCHES[$label] < <(delta "${BEFORE[$label]}" "$(thread_counters "${UNIX_PID[$label]}")")
    RSS_KB[$label]=$(awk '/^VmRSS:/ { print $2 }' /proc/"${UNIX_PID[$label]}"/status)
done
elapsed=$(($(_now_ms) - began))
slot_shot tray-at-end >/dev/null

# ---- report ----------------------------------------------------------------------------------------

row() {
    awk -v what="$1" -v d="$2" -v m="$3" -v format="$4" 'BEGIN {
        ratio = m > 0 ? sprintf("%.2f", d / m) : d > 0 ? "(minimal: 0)" : "-"
        printf "%-28s %12s %12s %16s\n", what, sprintf(format, d), sprintf(format, m), ratio }'
}
{
    echo "Idle for $((elapsed / 1000)) s side by side under $("$WINE64" --version 2>/dev/null); Dorvane from $DORVANE_BIN"
    printf "%-28s %12s %12s %16s\n" "" Dorvane minimal Dorvane/minimal
    row "start to icon in the tray, ms" "${TO_ICON[dorvane]}" "${TO_ICON[minimal]}" "%d"
    row "CPU time, ms" "$(awk -v n="${CPU_NS[dorvane]}" 'BEGIN { print n / 1e6 }')" \
        "$(awk -v n="${CPU_NS[minimal]}" 'BEGIN { print n / 1e6 }')" "%.1f"
    row "wake-ups per second" "$(awk -v n="${SWITCHES[dorvane]}" -v t="$elapsed" 'BEGIN { print n * 1000 / t }')" \
        "$(awk -v n="${SWITCHES[minimal]}" -v t="$elapsed" 'BEGIN { print n * 1000 / t }')" "%.2f"
    row "resident memory, KB" "${RSS_KB[dorvane]}" "${RSS_KB[minimal]}" "%d"
    [ -z "$NOTE" ] || echo "$NOTE"
} | tee "$ARTIFACTS/results.txt"
e2e_pass
