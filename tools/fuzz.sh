#!/bin/bash
# Runs the fuzz targets for as long as asked, one after the other and niced
# (the machine is shared), each in JOBS processes (default 1) that share one
# corpus, kept between runs in
# <build>/host/fuzz/long/<target> and started from tests/fuzz/<target>; then
# measures the program's line coverage over those corpora with llvm-cov, from
# a second build of the targets made for it. Prints, per target, the inputs
# run, the inputs a second and the program's lines covered. An input that
# fails is saved in <build>/host/fuzz/long/findings and the target goes on.
#
#   bash tools/fuzz.sh [-t MINUTES] [-j JOBS] [TARGET...]
#
# MINUTES (default 30) is shared by the targets, weighted by how fast they
# run: autorun 4, settings 2, mci 2, command_line 1. JOBS up to the number of
# cores multiplies the inputs run. Run make host first.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
host=${BUILD:-$root/build}/host
fuzz=$host/fuzz
long=$fuzz/long
minutes=30
jobs=1
while getopts t:j: option; do
    case $option in
    t) minutes=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) echo "usage: $0 [-t MINUTES] [-j JOBS] [TARGET...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
targets=${*:-autorun settings mci command_line}
declare -A weight=([autorun]=4 [settings]=2 [mci]=2 [command_line]=1)
total=0
for target in $targets; do total=$((total + ${weight[$target]})); done

# Allocation stacks are left out of the sanitizer's reports: a third more
# inputs a second. Run a finding again without this for the whole report.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
mkdir -p "$long/findings"
# One process's share of a target: runs libFuzzer until END, again after a
# finding, and prints the inputs it ran and the seconds they took.
fuzz_until() {
    local target=$1 end=$2 log=$3 runs=0 seconds=0 dict="" done_runs done_time
    [ -f "$root/tests/fuzz/$target.dict" ] && dict=-dict=$root/tests/fuzz/$target.dict
    while [ "$(date +%s)" -lt "$end" ]; do
        nice -n 15 "$fuzz/fuzz_$target" -max_total_time=$((end - $(date +%s))) -max_len=5000 -timeout=25 \
            -print_final_stats=1 -artifact_prefix="$long/findings/$target-" $dict \
            "$long/$target" "$root/tests/fuzz/$target" > "$log" 2>&1 || true
        grep -h "FINDING\|ERROR: " "$log" | head -3 >&2 || true
        done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        done_time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
        runs=$((runs + ${done_runs:-0}))
        seconds=$((seconds + ${done_time:-0}))
    done
    echo "$runs $seconds"
}

declare -A runs speed
for target in $targets; do
    mkdir -p "$long/$target"
    end=$(($(date +%s) + minutes * 60 * ${weight[$target]} / total))
    for ((job = 1; job <= jobs; job++)); do
        fuzz_until "$target" "$end" "$long/$target.$job.log" > "$long/$target.$job.runs" &
    done
    wait
    runs[$target]=0
    seconds=0
    for ((job = 1; job <= jobs; job++)); do
        read -r job_runs job_seconds < "$long/$target.$job.runs"
        runs[$target]=$((runs[$target] + job_runs))
        seconds=$((seconds > job_seconds ? seconds : job_seconds))
    done
    # Inputs a second of all the target's processes together.
    speed[$target]=$((runs[$target] / (seconds > 0 ? seconds : 1)))
done

# Line coverage: the targets built again with the program instrumented for
# llvm-cov, each input of the corpora run once.
cov=$host/fuzz-cov
cmake -S "$root/tests/fuzz" -B "$cov" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFUZZ_COVERAGE=ON > /dev/null
nice -n 15 cmake --build "$cov" -j 2 > /dev/null
rm -f "$cov"/*.profraw "$cov"/*.profdata
program=$cov/libdorvane_program_fuzz.so
lines() {
    llvm-cov report "$program" -instr-profile="$1" -ignore-filename-regex='/(winsim|tests)/' |
        awk '/^TOTAL/ { print $(NF-5) - $(NF-4) " of " $(NF-5) " lines, " $(NF-3) }'
}
printf '%-14s %12s %10s  %s\n' target inputs inputs/s "program lines covered"
for target in $targets; do
    # Each input named on the command line runs once (a corpus folder would not be run whole).
    find "$long/$target" "$root/tests/fuzz/$target" -type f -print0 |
        LLVM_PROFILE_FILE="$cov/$target-%p.profraw" nice -n 15 xargs -0 -r "$cov/fuzz_$target" \
            > "$cov/$target.log" 2>&1 || true
    llvm-profdata merge -sparse "$cov/$target"-*.profraw -o "$cov/$target.profdata"
    printf '%-14s %12s %10s  %s\n' "$target" "${runs[$target]}" "${speed[$target]}" "$(lines "$cov/$target.profdata")"
done
llvm-profdata merge -sparse "$cov"/*.profraw -o "$cov/all.profdata"
all=0
for target in $targets; do all=$((all + runs[$target])); done
printf '%-14s %12s %10s  %s\n' all "$all" "" "$(lines "$cov/all.profdata")"
