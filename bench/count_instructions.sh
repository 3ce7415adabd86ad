#!/usr/bin/env bash
# Instructions per unit of the computer players' work, counted by valgrind's
# callgrind: deterministic, whatever else the machine is doing. Each count is
# a run of UNITS units less a run of none, over UNITS.
#
#   bench/count_instructions.sh [UNITS]     (default 2000; after cmake --workflow --preset bench)
set -euo pipefail
cd "$(dirname "$0")/.."
units=${1:-2000}
# Another build may be named, as CI does: PELLARO_BENCH_BUILD=build/test.
build=${PELLARO_BENCH_BUILD:-build/bench}
program=$build/bench/pellaro_count_instructions
simulator=$build/pellaro-sim
if ! command -v valgrind >/dev/null; then
    echo "count_instructions: valgrind is missing (apt-get install valgrind)" >&2
    exit 1
fi
if [[ ! -x $program || ! -x $simulator ]]; then
    echo "count_instructions: build the benchmarks first: cmake --workflow --preset bench" >&2
    exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

collected() {
    valgrind --tool=callgrind --callgrind-out-file="$scratch/out" "$program" "$1" "$2" \
        2>"$scratch/log" >"$scratch/stdout"
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$scratch/log"
}

for work in randomGame5 randomGame2 greedyGame5 montecarloPlayout ismctsIteration; do
    none=$(collected "$work" 0)
    many=$(collected "$work" "$units")
    echo "$work: $(((many - none) / units)) instructions per unit"
done

# The simulator itself, five bots of one kind on one thread: a run of UNITS
# games and one more less a run of one game, over UNITS.
simulated() {
    valgrind --tool=callgrind --callgrind-out-file="$scratch/out" "$simulator" run --players 5 \
        --bots "$1" --games "$2" --threads 1 --seed 1 --quiet 2>"$scratch/log" >"$scratch/stdout"
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$scratch/log"
}

for bot in random greedy; do
    one=$(simulated "$bot" 1)
    many=$(simulated "$bot" $((units + 1)))
    echo "pellaro-sim run, five $bot: $(((many - one) / units)) instructions per game"
done
