#!/bin/bash
# Builds the Debian package from a configured and built tree into a folder of
# its own, and checks what a user of the package would get: the files and
# their places, the control fields, the copyright file and the changelog,
# lintian's verdict, and for every program a manual page, a stripped and
# hardened binary that starts.
#
# Usage: check_package.sh CPACK CPACK_CONFIG VERSION SOURCE_DIR PROGRAM[,PROGRAM...] [PAGE,...]
#
# The PAGEs are manual pages of no program, such as the bot protocol's.
#
# Exits 77 (skipped) when a tool that the checks need is missing. A missing
# dpkg-shlibdeps is a failure instead: the package would lack its Depends field.
set -euo pipefail

cpack=$1
config=$2
version=$3
source_dir=$4
IFS=, read -r -a programs <<<"$5"
IFS=, read -r -a pages <<<"${6:-}"

declare -A packageOf=([dpkg-deb]=dpkg [dpkg]=dpkg [gzip]=gzip [readelf]=binutils [file]=file
    [lintian]=lintian [timeout]=coreutils [od]=coreutils)
for tool in "${!packageOf[@]}"; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (apt-get install ${packageOf[$tool]})"
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

doc=./usr/share/doc/pellaro
expected_files="-rw-r--r-- root/root $doc/README.md
-rw-r--r-- root/root $doc/changelog.gz
-rw-r--r-- root/root $doc/copyright
-rw-r--r-- root/root $doc/examples/pellaro_bot.py
-rw-r--r-- root/root ./usr/share/lintian/overrides/pellaro
-rw-r--r-- root/root ./usr/lib/systemd/system/pellaro-server.service"
# The README's pages and charts, each where the README's links lead.
mapfile -t doc_files < <(cd "$source_dir" && find doc -maxdepth 1 -name '*.md' &&
    find doc/charts -maxdepth 1 -name '*.svg')
[[ ${#doc_files[@]} -gt 0 ]] || fail "no pages or charts under $source_dir/doc"
for file in "${doc_files[@]}"; do
    expected_files+="
-rw-r--r-- root/root $doc/$file"
done
for page in "${pages[@]}"; do
    expected_files+="
-rw-r--r-- root/root ./usr/share/man/man6/$page.6.gz"
done
for program in "${programs[@]}"; do
    expected_files+="
-rwxr-xr-x root/root ./usr/games/$program
-rw-r--r-- root/root ./usr/share/man/man6/$program.6.gz"
done
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
root=$work/root

# A gzip file as Debian ships it: no file name and no time stamp in the header
# (flags byte 0, mtime 0), holding exactly the source.
check_gzip() {
    local packed=$1 source=$2
    if ! gzip -t "$packed" 2>/dev/null; then
        fail "${packed#"$root"} is not gzip-compressed"
        return
    fi
    gzip -dc "$packed" | cmp -s - "$source" || fail "${packed#"$root"} differs from $source"
    local header
    header=$(od -An -tx1 -N8 "$packed" | tr -d ' \n')
    [[ $header == 1f8b080000000000 ]] || fail "the gzip header of ${packed#"$root"} is $header"
}

cmp -s "$root/usr/share/doc/pellaro/README.md" "$source_dir/README.md" ||
    fail "the packaged README differs from README.md"
for file in "${doc_files[@]}"; do
    cmp -s "$root/usr/share/doc/pellaro/$file" "$source_dir/$file" ||
        fail "the packaged $file differs from the source's"
done
# Every link of the README and its pages to a file leads to a packaged file.
for page in "$root/usr/share/doc/pellaro/README.md" "$root"/usr/share/doc/pellaro/doc/*.md; do
    [[ -f $page ]] || continue
    while read -r target; do
        [[ -e $(dirname "$page")/$target ]] ||
            fail "${page#"$root"} links $target, which the package lacks"
    done < <(grep -o -E '\]\([^)#]*' "$page" | sed 's/^](//' | grep -v -E '^$|^[a-z]+:')
done
cmp -s "$root/usr/share/doc/pellaro/examples/pellaro_bot.py" "$source_dir/examples/pellaro_bot.py" ||
    fail "the packaged example bot differs from examples/pellaro_bot.py"
# The server's unit, installed but not enabled: it starts a program and
# names a manual page that the package holds.
unit=$root/usr/lib/systemd/system/pellaro-server.service
if cmp -s "$unit" "$source_dir/doc/pellaro-server.service"; then
    exec_start=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")
    [[ -n $exec_start && -x $root$exec_start ]] ||
        fail "the unit starts '$exec_start', which the package lacks"
    unit_page=$(sed -n 's/^Documentation=man:\([a-z-]*\)(6)$/\1/p' "$unit")
    [[ -n $unit_page && -f $root/usr/share/man/man6/$unit_page.6.gz ]] ||
        fail "the unit's Documentation names no manual page of the package"
else
    fail "the packaged unit differs from doc/pellaro-server.service"
fi
# No maintainer script, so nothing enables or starts the unit.
scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'inst$|rm$' || true)
[[ -z $scripts ]] || fail "the package has maintainer scripts: $scripts"
for page in "${pages[@]}"; do
    check_gzip "$root/usr/share/man/man6/$page.6.gz" "$source_dir/doc/$page.6"
done
check_gzip "$root/usr/share/doc/pellaro/changelog.gz" "$source_dir/doc/changelog"
changelog_version=$(dpkg-parsechangelog -l "$source_dir/doc/changelog" -S Version) || true
[[ $changelog_version == "$version" ]] ||
    fail "the changelog's latest entry is for $changelog_version, not $version"

# The copyright file carries LICENSE's notice and permission text.
copyright=$root/usr/share/doc/pellaro/copyright
if [[ -f $copyright && -f $source_dir/LICENSE ]]; then
    holders=$(sed -n 's/^Copyright (c) //p' "$source_dir/LICENSE")
    [[ -n $holders && $(sed -n 's/^Copyright: //p' "$copyright") == "$holders" ]] ||
        fail "the copyright file does not name '$holders'"
    license_text=$(awk 'shown { sub(/^ /, ""); if ($0 == ".") $0 = ""; print }
        /^License: Expat$/ { shown = 1 }' "$copyright")
    [[ $license_text == "$(sed -n '/^Permission/,$p' "$source_dir/LICENSE")" ]] ||
        fail "the copyright file's licence text differs from LICENSE"
else
    fail "no copyright file, or no LICENSE"
fi

# --- every program ---
for program in "${programs[@]}"; do
    binary=$root/usr/games/$program
    [[ -x $binary ]] || continue # reported with the files above
    check_gzip "$root/usr/share/man/man6/$program.6.gz" "$source_dir/doc/$program.6"

    sections=$(readelf -SW "$binary")
    grep -q '\.symtab' <<<"$sections" && fail "$program is not stripped"
    grep -q '\.comment' <<<"$sections" && fail "$program keeps the compiler's .comment section"
    dynamic=$(readelf -dW "$binary")
    grep -Eq 'RPATH|RUNPATH' <<<"$dynamic" && fail "$program carries a library path"
    # Hardened: position-independent, relocations read-only and bound at
    # start, and a stack protector.
    grep -Eq '\(FLAGS_1\).* PIE' <<<"$dynamic" || fail "$program is not position-independent"
    grep -Eq '\(FLAGS\).* BIND_NOW|\(FLAGS_1\).* NOW' <<<"$dynamic" ||
        fail "$program does not bind its symbols at start (-z now)"
    # Each listing is read whole first: grep -q stops at its first match, and
    # under pipefail the writer's broken pipe would count as a failure.
    segments=$(readelf -lW "$binary")
    grep -q GNU_RELRO <<<"$segments" || fail "$program has no RELRO segment (-z relro)"
    symbols=$(readelf --dyn-syms -W "$binary")
    grep -q ' __stack_chk_fail' <<<"$symbols" || fail "$program has no stack protector"

    # Starts, answers, and ends at the end of its input with status 0.
    status=0
    output=$(timeout 10 "$binary" --help </dev/null 2>&1) || status=$?
    [[ $status -eq 0 && -n $output ]] ||
        fail "$program --help exited with status $status after writing '$output'"
done

# The game takes no notice of arguments: declining the rules and then ending
# the input ends it at once.
if [[ " ${programs[*]} " != *" pellaro "* ]]; then
    fail "the programs do not include pellaro"
elif [[ -x $root/usr/games/pellaro ]]; then
    status=0
    output=$(printf 'n\n' | "$root/usr/games/pellaro") || status=$?
    [[ $status -eq 0 ]] || fail "the packaged game exited with status $status"
    [[ $output == "Would you like to hear the rules? (Y/N) Enter number of players (2-5): " ]] ||
        fail "the packaged game wrote '$output'"
fi

# --- lintian: every tag, down to pedantic and experimental ones, is a failure
# unless the package overrides it with its reason (an override that no longer
# matches is a tag too). Overridden tags are shown, as O:, but lintian's
# --fail-on would count them, so the verdict is read from the tags shown.
status=0
lintian --no-cfg --ignore-lintian-env --pedantic --display-info --display-experimental \
    --show-overrides --tag-display-limit 0 --fail-on none \
    "$deb" >"$work/lintian" 2>"$work/lintian.err" || status=$?
if ((status != 0)) || grep -qE '^[EWIPX]: ' "$work/lintian"; then
    fail "lintian (status $status) reports:"
    cat "$work/lintian" "$work/lintian.err"
fi
overridden=$(grep -c '^O: ' "$work/lintian" || true)

if [[ $failures -ne 0 ]]; then
    echo "Package contents:"
    dpkg-deb -c "$deb"
    exit 1
fi
echo "package $(basename "$deb") checked: ${#programs[@]} programs, lintian quiet" \
    "($overridden tags overridden)"
