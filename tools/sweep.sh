#!/bin/bash
# The fault sweep with two calls failing in a run, niced, for as long as asked:
#
#   bash tools/sweep.sh [-t MINUTES] [-s FIRST_SEED] [-p PAIRS]
#
# Runs the sweep in batches from FIRST_SEED (default 1), one seed a batch,
# each drawing PAIRS pairs (default 500) for every scenario and user, until
# MINUTES (default 30) have passed. Prints each failing case (scenario,
# user, the calls failed, what went wrong), then the seeds and runs. A case
# is run again with FAULT_SWEEP_PAIRS=PAIRS FAULT_SWEEP_SEED=seed and a
# --gtest_filter for its scenario. Run the host build first.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${BUILD:-$root/build}/host/tests/reliability/FaultSweep
minutes=30 seed=1 pairs=500
while getopts t:s:p: option; do
    case $option in
    t) minutes=$OPTARG ;;
    s) seed=$OPTARG ;;
    p) pairs=$OPTARG ;;
    *) echo "usage: $0 [-t MINUTES] [-s FIRST_SEED] [-p PAIRS]" >&2; exit 2 ;;
    esac
done

end=$(($(date +%s) + minutes * 60))
first=$seed singles=0 doubles=0 failed=0
while [ "$(date +%s)" -lt "$end" ]; do
    output=$(FAULT_SWEEP_PAIRS=$pairs FAULT_SWEEP_SEED=$seed nice -n 15 "$binary" 2>&1) || failed=$((failed + 1))
    # A failure's account runs from the case's name to gtest's next line.
    echo "$output" | awk -v seed="$seed" '
        /^\[|: Failure$|^Value of|^  Actual|^Expected|^[A-Za-z]+: [0-9]+ (runs,|pairs run)/ { show = 0 }
        /, failing calls? [0-9]+: |^fault sweep: the run was|^SUMMARY:/ { show = 1; printf "seed %s: ", seed }
        show'
    ran=$(echo "$output" | awk '/^[A-Za-z]+: [0-9]+ runs, / { n += $2 } END { print n + 0 }')
    paired=$(echo "$output" | awk '/^[A-Za-z]+: [0-9]+ pairs run of / { n += $2 } END { print n + 0 }')
    singles=$((singles + ran)) doubles=$((doubles + paired))
    seed=$((seed + 1))
done
echo "sweep: seeds $first-$((seed - 1)), $singles runs with one call failing, $doubles with two," \
     "$failed batches with a failing case"
[ "$failed" -eq 0 ]
