#!/usr/bin/env bash
# Regenerates the golden sessions: NAME.in and sessions.txt from
# make_golden_inputs, NAME.out from the real program with its clock pinned.
# Read every changed .out against the game's texts before trusting it.
#
#   cmake --build build/DIR --target pellaro pellaro_pinned_clock make_golden_inputs
#   tests/golden/regenerate.sh build/DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
"$build/tests/golden/make_golden_inputs" "$here"
while read -r name time; do
    PELLARO_PINNED_TIME=$time LD_PRELOAD="$build/tests/libpellaro_pinned_clock.so" \
        "$build/pellaro" <"$here/$name.in" >"$here/$name.out"
done <"$here/sessions.txt"
