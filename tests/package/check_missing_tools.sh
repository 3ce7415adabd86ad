#!/bin/bash
# The package check on a machine that lacks one tool, simulated by a PATH
# holding every program of this one but that tool. A tool the check needs
# makes it report itself skipped, naming the Debian package to install; a
# missing dpkg-shlibdeps makes the packaging fail, never a package without
# its Depends field.
#
# Usage: check_missing_tools.sh CHECK_PACKAGE ARGUMENTS...
set -euo pipefail

check=$1
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0

# The tool taken away, the exit status the check must end with, and what its
# output must say.
while read -r tool expected_status expected_text; do
    bin=$work/without-$tool
    mkdir "$bin"
    IFS=: read -r -a folders <<<"$PATH"
    for folder in "${folders[@]}"; do
        for program in "$folder"/*; do
            name=${program##*/}
            if [[ $name != "$tool" && -x $program && ! -e $bin/$name ]]; then
                ln -s "$program" "$bin/$name"
            fi
        done
    done
    status=0
    output=$(PATH=$bin bash "$check" "$@" 2>&1) || status=$?
    # CMake wraps its messages: the words are compared, not the lines.
    words=$(tr -s ' \n' '  ' <<<"$output")
    if [[ $status -ne $expected_status || $words != *"$expected_text"* ]]; then
        echo "FAIL: without $tool the package check exited with status $status, not" \
            "$expected_status, and did not say '$expected_text'; it wrote:"
        tail -n 20 <<<"$output"
        failures=$((failures + 1))
    else
        echo "without $tool: status $status, '$expected_text'"
    fi
done <<'CASES'
file 77 apt-get install file
lintian 77 apt-get install lintian
readelf 77 apt-get install binutils
dpkg-shlibdeps 1 the package would have no Depends field: apt-get install dpkg-dev
CASES

if ((failures > 0)); then
    exit 1
fi
echo "every missing tool is named, and no package is built without its Depends field"
