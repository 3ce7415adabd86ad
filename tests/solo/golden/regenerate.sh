#!/usr/bin/env bash
# Regenerates the golden sessions of pellaro-solo: NAME.in and sessions.txt
# from make_solo_golden_inputs, which replays the computer players to know
# the people's legal answers, and NAME.out from the real program with its
# clock pinned and an empty folder of its own for the results file. Needed
# whenever the computer players' play changes; read every changed .out
# line by line before trusting it.
#
#   cmake --build build/DIR --target pellaro-solo pellaro_pinned_clock make_solo_golden_inputs
#   tests/solo/golden/regenerate.sh build/DIR [TIME]
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
"$build/tests/solo/make_solo_golden_inputs" "$here" "${2:-$(head -n1 "$here/sessions.txt" | cut -d" " -f2)}"
while read -r name time; do
    data=$(mktemp -d)
    XDG_DATA_HOME=$data PELLARO_PINNED_TIME=$time LD_PRELOAD="$build/tests/libpellaro_pinned_clock.so" \
        "$build/pellaro-solo" <"$here/$name.in" >"$here/$name.out"
    rm -rf "$data"
done <"$here/sessions.txt"
