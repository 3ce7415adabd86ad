#!/usr/bin/env bash
# Draws every chart of this folder from its command in commands.txt, with the
# pellaro-sim of a build folder. A run is a pure function of its command
# line, so the same simulator draws the same bytes on any machine.
#
#   doc/charts/regenerate.sh build/DIR            draws the charts again here
#   doc/charts/regenerate.sh --check PELLARO_SIM  draws them in a temporary
#       folder and fails unless each equals its file here byte for byte, and
#       unless every chart here has a command
#
# Read every changed chart before you trust it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

check=false
if [[ ${1:-} == --check ]]; then
    check=true
    shift
fi
if (($# != 1)); then
    echo "usage: regenerate.sh BUILD_DIR | regenerate.sh --check PELLARO_SIM" >&2
    exit 2
fi
if $check; then
    sim=$1
else
    sim=$1/pellaro-sim
fi
if [[ ! -x $sim ]]; then
    echo "regenerate.sh: no simulator at $sim: build one first (cmake --workflow --preset game)" >&2
    exit 2
fi

out=$here
if $check; then
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi

failures=0
listed=()
while read -r name arguments; do
    [[ -z $name || $name == \#* ]] && continue
    listed+=("$name.svg")
    read -r -a words <<<"$arguments"
    if ! "$sim" run "${words[@]}" --quiet --svg "$out/$name.svg" >/dev/null; then
        echo "FAIL: pellaro-sim run $arguments did not draw $name.svg"
        failures=$((failures + 1))
        continue
    fi
    if $check && ! cmp -s "$out/$name.svg" "$here/$name.svg"; then
        echo "FAIL: doc/charts/$name.svg is not what pellaro-sim run $arguments draws:"
        diff "$here/$name.svg" "$out/$name.svg" | head -n 20 || true
        failures=$((failures + 1))
    fi
done <"$here/commands.txt"

if ((${#listed[@]} == 0)); then
    echo "FAIL: commands.txt lists no chart"
    failures=$((failures + 1))
fi
for chart in "$here"/*.svg; do
    [[ -e $chart ]] || continue
    if [[ " ${listed[*]} " != *" ${chart##*/} "* ]]; then
        echo "FAIL: doc/charts/${chart##*/} has no command in commands.txt"
        failures=$((failures + 1))
    fi
done
if ((failures > 0)); then
    $check && echo "Redraw them with doc/charts/regenerate.sh BUILD_DIR and read each change."
    exit 1
fi
if $check; then
    echo "${#listed[@]} charts drawn again, each the same byte for byte"
else
    echo "${#listed[@]} charts drawn in $here"
fi
