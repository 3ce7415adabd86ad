#!/usr/bin/env bash
# The figures of doc/strength.md on the computer players and the game: the
# strength ladder, one bot of each fair kind at one table, seat 1's advantage
# and the strengths of pellaro-solo. Every run is a pure function of its
# command line, so these commands give the same figures anywhere; only the
# games per second differ. About half an hour on two cores, and
# two hours more for the replaced searches.
#
#   cmake --workflow --preset game && bench/measure_strength.sh [ladder|table|seats|solo|replaced]...
set -euo pipefail
cd "$(dirname "$0")/.."
sim=build/game/pellaro-sim
if [[ ! -x $sim ]]; then
    echo "measure_strength.sh: build the game first: cmake --workflow --preset game" >&2
    exit 1
fi
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
    local easy=greedy medium=ismcts:8000 hard=ismcts:20000
    run solo-easy-random --players 2 --bots "$easy,random" --rotate --games 2000 --seed 14
    run solo-medium-random --players 2 --bots "$medium,random" --rotate --games 500 --seed 14
    run solo-medium-easy --players 2 --bots "$medium,$easy" --rotate --games 500 --seed 14
    run solo-hard-random --players 2 --bots "$hard,random" --rotate --games 100 --seed 14
    run solo-hard-easy --players 2 --bots "$hard,$easy" --rotate --games 100 --seed 14
    run solo-hard-medium --players 2 --bots "$hard,$medium" --rotate --games 100 --seed 14
}

replaced() {
    # The new Medium and Hard against those of commit 05c9368 they replaced,
    # one new against one old and one new against three old. About two hours
    # on two cores, most of it the four-player Hard games. The old ones are
    # the searches of today with the settings that play as they did then.
    local medium=ismcts:8000 hard=ismcts:20000
    local oldMedium=montecarlo:1000:objective=margin-below-5:ties=first:allocation=even
    local oldHard=ismcts:5000:objective=margin-below-5:reuse=no:ties=first
    run replaced-medium-2 --players 2 --bots "$medium,$oldMedium" --rotate --games 1000 --seed 2026
    run replaced-hard-2 --players 2 --bots "$hard,$oldHard" --rotate --games 1000 --seed 2026
    run replaced-medium-4 --players 4 --bots "$medium,$oldMedium,$oldMedium,$oldMedium" --rotate \
        --games 500 --seed 2027
    run replaced-hard-4 --players 4 --bots "$hard,$oldHard,$oldHard,$oldHard" --rotate \
        --games 500 --seed 2027
}

if (($# == 0)); then
    set -- ladder table seats solo replaced
fi
for part in "$@"; do
    "$part"
done
