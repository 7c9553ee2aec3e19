#!/bin/bash
# The random user over many seeds, niced, for as long as asked:
#
#   bash tools/soak.sh [-t MINUTES] [-s FIRST_SEED] [-a ACTS]
#
# Runs seeds in batches of 20 from FIRST_SEED (default 1000), ACTS acts each
# (default 3000), until MINUTES (default 30) have passed. Prints each failing
# seed with its last acts up to the fault, then the seeds
# and acts run. Run make host first.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
binary=${BUILD:-$root/build}/host/tests/reliability/RandomUser
minutes=30 seed=1000 acts=3000
while getopts t:s:a: option; do
    case $option in
    t) minutes=$OPTARG ;;
    s) seed=$OPTARG ;;
    a) acts=$OPTARG ;;
    *) echo "usage: $0 [-t MINUTES] [-s FIRST_SEED] [-a ACTS]" >&2; exit 2 ;;
    esac
done

end=$(($(date +%s) + minutes * 60))
first=$seed total=0 failed=0
while [ "$(date +%s)" -lt "$end" ]; do
    last=$((seed + 19))
    output=$(RANDOM_USER_SEEDS=$seed-$last RANDOM_USER_ACTS=$acts nice -n 15 "$binary" 2>&1) || failed=$((failed + 1))
    echo "$output" | sed -n '/^seed [0-9]*:/,/^random user:/p' | grep -v '^random user:'
    ran=$(echo "$output" | sed -n 's/^random user: seeds .*, \([0-9]*\) acts$/\1/p')
    total=$((total + ${ran:-0}))
    seed=$((last + 1))
done
echo "soak: seeds $first-$((seed - 1)), $total acts, $failed batches with a failing seed"
[ "$failed" -eq 0 ]
