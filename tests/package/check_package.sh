#!/bin/bash
# Builds the Debian package from a configured and built tree into a folder of
# its own, and checks what a user of the package would get: the files and
# their places, the control fields, and a program that starts.
#
# Usage: check_package.sh CPACK CPACK_CONFIG VERSION SOURCE_DIR
set -euo pipefail

cpack=$1
config=$2
version=$3
source_dir=$4

for tool in dpkg-deb dpkg dpkg-shlibdeps gzip readelf; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (apt-get install dpkg-dev binutils)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! "$cpack" --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack did not build the package"
    exit 1
fi

arch=$(dpkg --print-architecture)
mapfile -t debs < <(find "$work/out" -maxdepth 1 -name '*.deb')
if [[ ${#debs[@]} -ne 1 ]]; then
    echo "FAIL: expected one package, found ${#debs[@]}: ${debs[*]}"
    exit 1
fi
deb=${debs[0]}
[[ $(basename "$deb") == "pellaro_${version}_${arch}.deb" ]] ||
    fail "package file is named $(basename "$deb")"

# --- contents: mode, owner and path of every entry ---
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | sort -k3 >"$work/contents"

expected_files="-rw-r--r-- root/root ./usr/share/doc/pellaro/README.md
-rw-r--r-- root/root ./usr/share/man/man6/pellaro.6.gz
-rw-r--r-- root/root ./usr/share/man/man6/pellaro-sim.6.gz
-rwxr-xr-x root/root ./usr/games/pellaro
-rwxr-xr-x root/root ./usr/games/pellaro-sim"
actual_files=$(grep -v '^d' "$work/contents" | sort)
if [[ "$actual_files" != "$(sort <<<"$expected_files")" ]]; then
    fail "the package's files differ from those expected:"
    diff <(sort <<<"$expected_files") <(echo "$actual_files") || true
fi
while read -r mode owner path; do
    [[ $path == ./usr/* ]] || fail "$path lies outside /usr"
    [[ $owner == root/root ]] || fail "$path is owned by $owner"
    if [[ $mode == d* && $mode != drwxr-xr-x ]]; then
        fail "directory $path has mode $mode"
    fi
done <"$work/contents"

# --- control fields ---
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == pellaro ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', not $version"
[[ $(field Section) == games ]] || fail "Section is '$(field Section)'"
[[ $(field Priority) == optional ]] || fail "Priority is '$(field Priority)'"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture is '$(field Architecture)'"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\ ]+@[^\>\ ]+\>$ ]] ||
    fail "Maintainer '$(field Maintainer)' is not a name and an address"
depends=$(field Depends)
for library in libc6 libstdc++6; do
    [[ $depends =~ (^|, )"$library"\ \(\>=\ [0-9] ]] ||
        fail "Depends '$depends' lacks a versioned $library"
done
description=$(field Description)
summary=$(head -n 1 <<<"$description")
[[ -n $summary && ${#summary} -le 80 ]] || fail "the description's summary is '$summary'"
[[ $(wc -l <<<"$description") -ge 2 ]] || fail "the description has no long text"

# --- the unpacked files ---
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/games/pellaro
page=$work/root/usr/share/man/man6/pellaro.6.gz

if ! gzip -t "$page" 2>/dev/null; then
    fail "the manual page is not gzip-compressed"
else
    gzip -dc "$page" | cmp -s - "$source_dir/doc/pellaro.6" ||
        fail "the packaged manual page differs from doc/pellaro.6"
    # No file name and no time stamp in the header: flags byte 0, mtime 0.
    header=$(od -An -tx1 -N8 "$page" | tr -d ' \n')
    [[ $header == 1f8b080000000000 ]] || fail "the manual page's gzip header is $header"
fi
cmp -s "$work/root/usr/share/doc/pellaro/README.md" "$source_dir/README.md" ||
    fail "the packaged README differs from README.md"

readelf -S "$program" | grep -q '\.symtab' && fail "the program is not stripped"
readelf -d "$program" | grep -Eq 'RPATH|RUNPATH' && fail "the program carries a library path"

# Declining the rules and then ending the input ends the program at once.
status=0
output=$(printf 'n\n' | "$program") || status=$?
[[ $status -eq 0 ]] || fail "the packaged program exited with status $status"
[[ $output == "Would you like to hear the rules? (Y/N) Enter number of players (2-5): " ]] ||
    fail "the packaged program wrote '$output'"

if [[ $failures -ne 0 ]]; then
    echo "Package contents:"
    dpkg-deb -c "$deb"
    exit 1
fi
echo "package $(basename "$deb") checked"
