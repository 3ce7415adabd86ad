#!/usr/bin/env bash
# Times a scripted session of complete games piped through the real program,
# counts its system calls and its peak memory. Run after the bench preset:
#
#   cmake --workflow --preset bench && bench/measure_session.sh [games]
#
# Every line end and every question is one write, and input is read in whole
# buffers, so the writes must equal the output's newlines plus its questions.
set -euo pipefail
cd "$(dirname "$0")/.."
games=${1:-20}

# Without these the figures of doc/performance.md would silently not appear.
missing=()
command -v strace >/dev/null || missing+=(strace)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]} > 0)); then
    echo "measure_session.sh needs ${missing[*]}: apt-get install ${missing[*]}" >&2
    exit 1
fi
# Another build may be named, as CI does: PELLARO_BENCH_BUILD=build/test.
build=${PELLARO_BENCH_BUILD:-build/bench}
if [[ ! -x $build/bench/pellaro_session_script ]]; then
    echo "measure_session.sh: build the benchmarks first: cmake --workflow --preset bench" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/pellaro_session_script" "$games" >"$work/session.in"
"$build/pellaro" <"$work/session.in" >"$work/session.out"
played=$(grep -c 'Would you like to play a new game' "$work/session.out")
[[ $played -eq $games ]] || { echo "the session played $played games, not $games"; exit 1; }

lines=$(wc -l <"$work/session.out")
questions=$(grep -o -E '\(Y/N\) |\(2-5\): |a row\? |to take: |place it on: |continue; |play; ' \
    "$work/session.out" | wc -l)

start=$(date +%s%N)
for _ in 1 2 3 4 5; do "$build/pellaro" <"$work/session.in" >/dev/null; done
elapsed=$((($(date +%s%N) - start) / 5000))

echo "session: $games games, $(wc -c <"$work/session.in") bytes in, $(wc -c <"$work/session.out") bytes out"
echo "wall time to /dev/null: $elapsed us per session"
strace -c -o "$work/calls" "$build/pellaro" <"$work/session.in" >/dev/null
writes=$(awk '$NF == "write" { print $4 }' "$work/calls")
reads=$(awk '$NF == "read" { print $4 }' "$work/calls")
echo "writes: $writes for $lines line ends and $questions questions; reads: $reads"
[[ $writes -eq $((lines + questions)) ]] || { echo "more writes than line ends and questions"; exit 1; }
rss=$(/usr/bin/time -f %M "$build/pellaro" <"$work/session.in" 2>&1 >/dev/null | tail -n 1)
echo "peak resident memory: $rss KiB"
