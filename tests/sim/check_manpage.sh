#!/bin/bash
# The simulator's manual page formats without a single complaint from either
# formatter and keeps its sections.
#
# Usage: check_manpage.sh PAGE
set -euo pipefail

page=$1
for tool in mandoc man; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (apt-get install mandoc man-db)"
        exit 77
    fi
done

status=0
lint=$(mandoc -T lint -W all "$page" 2>&1) || true
[[ -z $lint ]] || { echo "FAIL: mandoc -T lint: $lint"; status=1; }
export MANWIDTH=80
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null) || { echo "FAIL: man failed"; status=1; }
[[ -z $warnings ]] || { echo "FAIL: man --warnings: $warnings"; status=1; }
text=$(man -l "$page" 2>/dev/null)
for heading in NAME SYNOPSIS DESCRIPTION COMMANDS "EXIT STATUS"; do
    grep -qx "$heading" <<<"$text" || { echo "FAIL: no section $heading"; status=1; }
done
[[ $status -ne 0 ]] || echo "manual page checked"
exit $status
