#!/bin/sh
# The example bot in Python plays a simulation and a game of pellaro-solo;
# a program's bot that fails ends a pellaro-solo game with a message, status
# 2 and no results saved. Usage: check_example_bot.sh SIM SOLO EXAMPLE FAILING_BOT
sim=$1 solo=$2 example=$3 failing=$4
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# Moves for any prompt: wrong answers are asked again, and the questions at
# the end of the game are answered no.
i=0
while [ $i -lt 300 ]; do printf 'd\n1\n2\nt\n1\n'; i=$((i + 1)); done > "$work/moves"
mkdir "$work/home"
: > "$work/pids"

HOME=$work/home XDG_DATA_HOME=$work/home "$solo" --seed 3 \
    --bot "exec:$failing $work $sim garbage 10" < "$work/moves" > "$work/solo-failed.out" 2> "$work/solo-failed.err"
status=$?
[ $status -eq 2 ] || fail "a failing bot ends pellaro-solo with status $status"
grep -q '^pellaro-solo: Player #2 (program) at move [0-9]*: the bot wrote "hello there"' "$work/solo-failed.err" ||
    fail "no message for the failing bot: $(cat "$work/solo-failed.err")"
[ -z "$(ls -A "$work/home")" ] || fail "a failed game left files: $(ls -A "$work/home")"

# A bot that cannot start is told of before the first question.
HOME=$work/home XDG_DATA_HOME=$work/home "$solo" --seed 3 --bot "exec:$work/no-such-bot" \
    < "$work/moves" > "$work/solo-unstarted.out" 2> "$work/solo-unstarted.err"
status=$?
[ $status -eq 2 ] || fail "a bot that cannot start ends pellaro-solo with status $status"
[ ! -s "$work/solo-unstarted.out" ] || fail "a question before the bot started: $(head -c 200 "$work/solo-unstarted.out")"
grep -q '^pellaro-solo: --bot: the bot ' "$work/solo-unstarted.err" ||
    fail "no message for the bot that cannot start: $(cat "$work/solo-unstarted.err")"

if ! command -v python3 > /dev/null; then
    echo "skipped: no python3 for the example bot"
    exit 77
fi

"$sim" run --bots "exec:python3 $example,greedy" --games 20 --rotate --quiet \
    --json "$work/summary.json" > "$work/sim.out" || fail "the simulation failed"
grep -q '"games": 40' "$work/summary.json" || fail "not 40 games: $(cat "$work/summary.json")"
grep -q '"interrupted": false' "$work/summary.json" || fail "the run was cut short"

HOME=$work/home XDG_DATA_HOME=$work/home "$solo" --seed 3 --bot "exec:python3 $example" \
    < "$work/moves" > "$work/solo.out" || fail "pellaro-solo failed"
grep -q '^Player #2 (program) scored' "$work/solo.out" || fail "the game did not end"
grep -q ': You are Player #1; Player #2 is played by the bot program\.$' "$work/solo.out" ||
    fail "no seating line for the program"
grep -qxF "This deal was seed 3; to play it again: pellaro-solo --seed 3 --bot 'exec:python3 $example'" \
    "$work/solo.out" || fail "the replay line does not name the bot: $(grep 'This deal' "$work/solo.out")"
echo "the example bot played 40 simulated games and a game of pellaro-solo"
