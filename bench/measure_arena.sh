#!/usr/bin/env bash
# The figures of doc/strength.md on the arena: how often sequential tests
# err, how many games they need, and the strength tables as tournaments.
# Every test and tournament is a pure function of its command line.
#
#   cmake --workflow --preset game && bench/measure_arena.sh [errors|medium|ladder|solo]...
set -euo pipefail
cd "$(dirname "$0")/.."
sim=${PELLARO_SIM:-build/game/pellaro-sim}
if [[ ! -x $sim ]]; then
    echo "measure_arena.sh: build the game first: cmake --workflow --preset game" >&2
    exit 1
fi
out=build/measure
mkdir -p "$out"

# Runs `count` tests of seeds 1 to count and prints how many ended each way
# and the games they played: "name: H1 a, H0 b, undecided c; games mean m, most x".
tests() {
    local name=$1 count=$2
    shift 2
    local seed verdicts=() games=() report
    report=$(mktemp "$out/sprt.XXXXXX")
    for ((seed = 1; seed <= count; seed++)); do
        "$sim" sprt "$@" --seed "$seed" --quiet --threads 1 >"$report"
        verdicts+=("$(tail -n 1 "$report" | cut -d' ' -f1)")
        games+=("$(sed -n 's/^  Played [0-9]* deals, \([0-9]*\) games.*/\1/p' "$report")")
    done
    rm -f "$report"
    printf '%s\n' "${verdicts[@]}" | sort | uniq -c | awk -v name="$name" \
        '{ counts = counts sep $2 " " $1; sep = ", " } END { printf "%s: %s; ", name, counts }'
    printf '%s\n' "${games[@]}" | awk \
        '{ sum += $1; if ($1 > most) most = $1 } END { printf "games mean %.0f, most %d\n", sum / NR, most }'
}

errors() {
    # A bot against itself on another stream: equally strong, so H1 is an
    # error, at most alpha (5 %) of the time. Greedy against random: H1
    # every time.
    # A search costs more at more players: 100 tests at two, 30 above.
    local players searches
    for players in 2 3 4 5; do
        searches=$((players == 2 ? 100 : 30))
        tests "random against itself, $players players" 200 --players "$players" \
            --bots random,random:stream=1
        tests "montecarlo:100 against itself, $players players" "$searches" --players "$players" \
            --bots montecarlo:100,montecarlo:100:stream=1
        tests "greedy against random, $players players" 100 --players "$players" \
            --bots greedy,random
    done
}

medium() {
    # Today's Medium against the Medium it replaced: H1 every time, and in
    # how many games against the fixed match's 2,000. About an hour a core.
    tests "Medium against old Medium, 2 players" 20 --players 2 \
        --bots ismcts:8000,montecarlo:1000:objective=margin-below-5:ties=first:allocation=even
}

tournament() {
    local name=$1
    shift
    echo "== $name: pellaro-sim tournament $*"
    "$sim" tournament "$@" --quiet --json "$out/$name.json" --svg "$out/$name.svg" |
        tee "$out/$name.txt"
}

ladder() {
    # The ladder of doc/strength.md, every pairing on the same deals.
    tournament tournament-ladder --players 2 --bots random,greedy,montecarlo,ismcts,clairvoyant \
        --games 1000 --seed 11 --budget 200
    tournament tournament-ladder-4 --players 4 --bots random,greedy,montecarlo,ismcts \
        --games 400 --seed 12 --budget 200
}

solo() {
    # Easy, Medium and Hard, and random below them; about twenty minutes on one core.
    tournament tournament-solo --players 2 --bots random,greedy,ismcts:8000,ismcts:20000 \
        --games 100 --seed 14
}

if (($# == 0)); then
    set -- errors medium ladder solo
fi
for part in "$@"; do
    "$part"
done
