#!/usr/bin/env bash
# The figures the README gives on the computer players and the game: the
# strength ladder, one bot of each fair kind at one table, seat 1's advantage
# and the strengths of pellaro-solo. Every run is a pure function of its
# command line, so these commands give the same figures anywhere; only the
# games per second differ. About half an hour on two cores.
#
#   cmake --workflow --preset game && bench/measure_strength.sh [ladder|table|seats|solo]...
set -euo pipefail
cd "$(dirname "$0")/.."
sim=build/game/pellaro-sim
out=build/measure
mkdir -p "$out"

run() {
    local name=$1
    shift
    echo "== $name: pellaro-sim run $*"
    "$sim" run "$@" --quiet --json "$out/$name.json" | tee "$out/$name.txt"
}

ladder() {
    # Two players, every deal played from both seats, searches on 200 playouts.
    local pair
    for pair in greedy,random montecarlo,greedy ismcts,montecarlo clairvoyant,ismcts; do
        run "ladder-${pair/,/-}" --players 2 --bots "$pair" --rotate --games 2000 --seed 11 \
            --budget 200
    done
}

table() {
    run table-four --players 4 --bots random,greedy,montecarlo,ismcts --rotate --games 500 \
        --seed 12 --budget 200
}

seats() {
    local players
    for players in 2 3 4 5; do
        run "seats-$players" --players "$players" --bots greedy --games 1000000 --seed 13 \
            --svg "$out/seats-$players.svg"
    done
}

solo() {
    # Easy, Medium and Hard as solo/strengths.h sets them.
    local easy=greedy medium=montecarlo:1000 hard=ismcts:5000
    run solo-easy-random --players 2 --bots "$easy,random" --rotate --games 2000 --seed 14
    run solo-medium-random --players 2 --bots "$medium,random" --rotate --games 500 --seed 14
    run solo-medium-easy --players 2 --bots "$medium,$easy" --rotate --games 500 --seed 14
    run solo-hard-random --players 2 --bots "$hard,random" --rotate --games 100 --seed 14
    run solo-hard-easy --players 2 --bots "$hard,$easy" --rotate --games 100 --seed 14
    run solo-hard-medium --players 2 --bots "$hard,$medium" --rotate --games 100 --seed 14
}

if (($# == 0)); then
    set -- ladder table seats solo
fi
for part in "$@"; do
    "$part"
done
