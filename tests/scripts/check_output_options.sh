#!/bin/bash
# No script or build file of ours hands a tool a device, or a fixed path in
# /tmp, as a file to write: gcovr, for one, opens its --output file to see that
# it can write there and then unlinks it, which as root deletes /dev/null.
# Redirections such as >/dev/null are the shell's and are fine; an option's
# argument is not. Output belongs under build/ or in a folder made by mktemp.
#
# Usage: check_output_options.sh SOURCE_DIR
set -euo pipefail
source_dir=$1

# An option (-o, --output, --json=, -artifact_prefix=, ...) followed, after a
# space, an equals sign or nothing, and an optional quote, by /dev/ or /tmp/.
pattern='(^|[[:space:]])-{1,2}[[:alpha:]][[:alnum:]_-]*(=|[[:space:]]+)?["'\'']?/(dev|tmp)/'

# What the pattern must catch and what it must leave alone: lines of shell,
# quoted as they stand.
# shellcheck disable=SC2016,SC1003
caught=(
    'gcovr --add-tracefile "$report" --print-summary --output /dev/null \'
    'strace -c -o /dev/null "$program"'
    'strace -c -o/dev/null "$program"'
    'gcovr --json=/dev/stdout build/coverage'
    "valgrind --log-file='/dev/stderr' \"\$program\""
    '    -artifact_prefix=/tmp/artifacts/ corpus'
    'COMMAND pellaro_bench --benchmark_out /dev/null'
)
# shellcheck disable=SC2016
passed=(
    'strace -c -o "$work/calls" "$build/pellaro" <"$work/session.in" >/dev/null'
    'if ! command -v "$tool" >/dev/null; then'
    'warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)'
    'gcovr --add-tracefile "$report" --print-summary --output "$summary"'
    'echo "wall time to /dev/null: $elapsed us per session"'
    '"$program" </dev/null &>/dev/null'
)
failures=0
for line in "${caught[@]}"; do
    grep -qE -- "$pattern" <<<"$line" || { echo "FAIL: the check misses: $line"; failures=$((failures + 1)); }
done
for line in "${passed[@]}"; do
    if grep -qE -- "$pattern" <<<"$line"; then
        echo "FAIL: the check wrongly catches: $line"
        failures=$((failures + 1))
    fi
done

# Every script and build file of the checks, tests and benchmarks; the fuzz
# corpus and the recorded sessions are data, not commands, and this file's own
# examples are meant to match.
cd "$source_dir"
mapfile -t files < <(find .ci bench cmake tests -type f ! -path 'tests/fuzz/corpus/*' \
    ! -path 'tests/golden/*.in' ! -path 'tests/golden/*.out' \
    ! -path tests/scripts/check_output_options.sh | sort)
files+=(CMakeLists.txt CMakePresets.json)
if ((${#files[@]} < 10)); then
    echo "FAIL: only ${#files[@]} files found under $source_dir"
    exit 1
fi
status=0
found=$(grep -nE -- "$pattern" "${files[@]}") || status=$?
if ((status > 1)); then
    echo "FAIL: grep could not read the files"
    failures=$((failures + 1))
elif ((status == 0)); then
    echo "FAIL: a tool is given a device or a fixed /tmp path as an output file:"
    echo "$found"
    failures=$((failures + 1))
fi
if ((failures > 0)); then
    exit 1
fi
echo "no tool writes to a device or a fixed /tmp path in ${#files[@]} files"
