#!/usr/bin/env bash
# pellaro-server under load and under faults: TABLES tables of four scripted
# people over loopback, then FAULT_TABLES tables while the server is killed
# KILLS times and started again on the same data. Every line is checked and
# every game replayed; the program fails on any fault. A few minutes on two
# cores with the defaults; `bench/measure_server.sh 10 10 2` takes seconds.
#
#   bench/measure_server.sh [TABLES [FAULT_TABLES [KILLS [THINK_MS]]]]   (default 1000 200 20 0)
#
# THINK_MS, or PELLARO_LOAD_THINK when the argument is not given: in both runs
# each person thinks from 0 to twice this many milliseconds before each
# answer, as real people do; 0 answers at once, which saturates the server.
set -euo pipefail
cd "$(dirname "$0")/.."
tables=${1:-1000}
fault_tables=${2:-200}
kills=${3:-20}
think=${4:-${PELLARO_LOAD_THINK:-0}}
seed=${PELLARO_LOAD_SEED:-1}
# Another build may be named, as CI does: PELLARO_BENCH_BUILD=build/test.
build=${PELLARO_BENCH_BUILD:-build/bench}
if [[ ! -f $build/build.ninja ]]; then
    cmake --preset bench -B "$build" >/dev/null
fi
cmake --build "$build" --target pellaro-server pellaro_server_load -j1 >/dev/null
server=$build/pellaro-server
load=$build/bench/pellaro_server_load

work=$(mktemp -d)
pid=
cleanup() {
    if [[ -n $pid ]]; then kill -KILL "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== load: $tables tables, think $think ms"
"$server" --data "$work/load" --listen 127.0.0.1:0 --port-file "$work/port" \
    --per-address 5000 --max-connections 5000 --max-tables 2000 2>"$work/server.log" &
pid=$!
for _ in $(seq 100); do [[ -s $work/port ]] && break; sleep 0.1; done
status=0
"$load" --port "$(cat "$work/port")" --tables "$tables" --seed "$seed" --server-pid "$pid" \
    --think "$think" ||
    status=$?
kill -TERM "$pid"
wait "$pid" || status=1
pid=
echo "server: $(grep 'moves told' "$work/server.log" | sed 's/^pellaro-server: //')"

echo "== fault run: $fault_tables tables, $kills kills, think $think ms"
"$load" --fault-kills "$kills" --server "$server" --data "$work/fault" --tables "$fault_tables" \
    --seed "$seed" --think "$think" || status=$?
exit "$status"
