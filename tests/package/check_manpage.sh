#!/bin/bash
# A program's manual page must format without a single complaint from either
# formatter, name the program and the version it documents, and keep its
# sections.
#
# Usage: check_manpage.sh PAGE PROGRAM VERSION
set -euo pipefail

page=$1
program=$2
version=$3

for tool in mandoc man; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (apt-get install mandoc man-db)"
        exit 77
    fi
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! lint=$(mandoc -T lint -W all "$page" 2>&1) || [[ -n $lint ]]; then
    fail "mandoc -T lint: $lint"
fi
# groff's own warnings, and those that only come without --warnings (tbl's).
export MANWIDTH=80
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null) || fail "man --warnings failed"
[[ -z $warnings ]] || fail "man --warnings: $warnings"
complaints=$(man -l "$page" 2>&1 >/dev/null) || fail "man failed"
[[ -z $complaints ]] || fail "man: $complaints"

header=$(grep -m1 '^\.TH ' "$page")
# The program's name in capitals, a hyphen in it written as - or \-.
title=${program^^}
title_pattern=${title//-/\\\\?-}
pattern="^\\.TH $title_pattern 6 [0-9]{4}-[0-9]{2}-[0-9]{2} \"pellaro ${version//./\\.}\" "
[[ $header =~ $pattern ]] ||
    fail "the header '$header' does not name $title, section 6 and version $version"

text=$(man -l "$page" 2>/dev/null)
for heading in NAME SYNOPSIS DESCRIPTION "EXIT STATUS"; do
    grep -qx "$heading" <<<"$text" || fail "no section $heading"
done
grep -qF "       $program - " <<<"$text" || fail "NAME does not start with '$program -'"

if [[ $failures -ne 0 ]]; then
    exit 1
fi
echo "manual page checked"
