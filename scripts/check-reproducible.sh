#!/usr/bin/env bash
# Checks that the release artefacts are reproducible: builds them (scripts/build-release.sh)
# twice, from two copies of the source tree in two different folders, one after the other, with
# different time zones, locales and umasks, and compares their SHA-256 checksums.
#
#   scripts/check-reproducible.sh [linux|windows|web|all]      (default: all)
#
# linux: window/qt/korvane and the .deb; windows: korvane.exe, the portable zip, the installer
# and the MSI (those of them the build makes); web: the page and its zip. The copies hold the
# files of the work tree that git
# tracks or would track, as they are now (in CI: the commit); both builds get the commit's date as
# SOURCE_DATE_EPOCH. Ends with one PASS or FAIL line; on FAIL it names the first artefact that
# differs and the first part of it that differs, and keeps both trees for a closer look.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

case "${1:-all}" in
linux) platforms=(linux) ;;
windows) platforms=(windows) ;;
web) platforms=(web) ;;
all) platforms=(linux windows web) ;;
*)
    echo "usage: scripts/check-reproducible.sh [linux|windows|web|all]" >&2
    exit 2
    ;;
esac

say() { echo "check-reproducible: $*"; }
start=$SECONDS

# The unsigned artefacts are compared: a signing key in the environment is not used here.
unset KORVANE_SIGN KORVANE_SIGN_CERT KORVANE_SIGN_KEY KORVANE_SIGN_PKCS12 \
    KORVANE_SIGN_PASSWORD_FILE KORVANE_SIGN_TIMESTAMP_URL KORVANE_SIGNATURES

export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}"
work="$(mktemp -d "${TMPDIR:-/tmp}/korvane-reproducible.XXXXXX")"
keep=0
trap '[ "$keep" -eq 1 ] || rm -rf "$work"' EXIT

# The two builds: folder of the copy, time zone (POSIX rules, no tzdata needed), locale, umask.
first=("$work/a/korvane" UTC0 C.UTF-8 022)
second=("$work/second-build/copy-of-the-korvane-tree" XYZ-5:45 de_DE.UTF-8 077)

# Copies the work tree's files into $1; every file gets the time of copying.
copy_tree() {
    mkdir -p "$1"
    (cd "$root" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do
            if [ -e "$f" ] || [ -L "$f" ]; then printf '%s\0' "$f"; fi
        done | tar --null -T - -cf -) | tar -x -m -f - -C "$1"
}

# Builds every platform's artefacts in one copy; logs go next to the copy.
build_in() {
    local tree="$1" tz="$2" locale="$3" mask="$4" platform
    say "copying the tree to $tree"
    copy_tree "$tree"
    for platform in "${platforms[@]}"; do
        say "building the $platform artefacts in $tree (TZ=$tz, LC_ALL=$locale, umask $mask)"
        if ! (umask "$mask" && cd "$tree" &&
            TZ="$tz" LC_ALL="$locale" scripts/build-release.sh "$platform" \
                >"$tree.$platform.log" 2>&1); then
            tail -n 30 "$tree.$platform.log" >&2
            keep=1
            say "FAIL: the $platform build in $tree failed (log: $tree.$platform.log)"
            exit 1
        fi
    done
}

# The section of an ELF or PE file that holds byte offset $2 (counted from 0). Sections at file
# offset 0 (.bss) hold no bytes of the file.
section_at() {
    local objdump=objdump idx name size off
    case "$(file -b "$1")" in
    PE32*) objdump=x86_64-w64-mingw32-objdump ;;
    esac
    while read -r idx name size _ _ off _; do
        if [[ "$idx" =~ ^[0-9]+$ && "$off" =~ ^[0-9a-f]+$ && "$off" =~ [1-9a-f] ]] &&
            (($2 >= 16#$off && $2 < 16#$off + 16#$size)); then
            echo "$name"
            return
        fi
    done < <("$objdump" -h "$1" 2>/dev/null)
    echo "(headers, outside every section)"
}

# Tells where two files first differ, looking inside packages and programs. $3 indents.
explain() {
    local a="$1" b="$2" indent="${3:-  }" at kind
    if cmp -s "$a" "$b"; then
        return
    fi
    at="$(LC_ALL=C cmp "$a" "$b" 2>&1 | sed -n 's/.* differ: \(char\|byte\) \([0-9]*\),.*/\2/p' || true)"
    kind="$(file -b "$a")"
    echo "${indent}sizes $(stat -c %s "$a") and $(stat -c %s "$b") bytes; first difference at byte ${at:-?} ($kind)" | cut -c1-160
    case "$kind" in
    ELF* | PE32*)
        if [ -n "$at" ]; then
            echo "${indent}that byte is in section $(section_at "$a" $((at - 1)))"
        fi
        ;;
    Debian\ binary\ package*) explain_members "$a" "$b" "$indent" ar ;;
    *tar\ archive* | gzip\ compressed* | XZ\ compressed* | Zstandard*) explain_members "$a" "$b" "$indent" tar ;;
    Zip\ archive*) explain_members "$a" "$b" "$indent" zip ;;
    *MSI\ Installer*) explain_msi "$a" "$b" "$indent" ;;
    esac
}

# Compares two Windows Installer packages: the summary information, every table, then every
# stream (the cabinet by the files it holds).
explain_msi() {
    local a="$1" b="$2" indent="$3" da db table stream
    da="$(mktemp -d "$work/msi.XXXXXX")"
    db="$(mktemp -d "$work/msi.XXXXXX")"
    if ! cmp -s <(msiinfo suminfo "$a") <(msiinfo suminfo "$b"); then
        echo "${indent}the summary information differs:"
        diff <(msiinfo suminfo "$a") <(msiinfo suminfo "$b") | grep '^[<>]' | sed "s/^/$indent  /"
    fi
    for table in $(msiinfo tables "$a"); do
        if ! cmp -s <(msiinfo export "$a" "$table") <(msiinfo export "$b" "$table" 2>&1); then
            echo "${indent}table $table differs, first at:"
            diff <(msiinfo export "$a" "$table") <(msiinfo export "$b" "$table" 2>&1) >"$da.diff" ||
                true
            grep -m1 '^<' "$da.diff" | sed "s/^/$indent  /"
            grep -m1 '^>' "$da.diff" | sed "s/^/$indent  /"
            return
        fi
    done
    for stream in $(msiinfo streams "$a"); do
        msiinfo extract "$a" "$stream" >"$da/$stream"
        msiinfo extract "$b" "$stream" >"$db/$stream" 2>/dev/null || true
        if ! cmp -s "$da/$stream" "$db/$stream"; then
            echo "${indent}stream $stream differs:"
            if [ "$stream" = korvane.cab ]; then
                msiextract -C "$da/files" "$a" >/dev/null
                msiextract -C "$db/files" "$b" >/dev/null
                (cd "$da/files" && find . -type f) | sort | while read -r member; do
                    if ! cmp -s "$da/files/$member" "$db/files/$member"; then
                        echo "${indent}  file ${member#./} differs:"
                        explain "$da/files/$member" "$db/files/$member" "$indent    "
                    fi
                done
            else
                explain "$da/$stream" "$db/$stream" "$indent  "
            fi
            return
        fi
    done
    echo "${indent}every table and stream is the same: the compound file's own headers differ"
}

# Compares the member listings of two archives, then the members themselves.
explain_members() {
    local a="$1" b="$2" indent="$3" format="$4" da db member
    da="$(mktemp -d "$work/members.XXXXXX")"
    db="$(mktemp -d "$work/members.XXXXXX")"
    case "$format" in
    ar)
        ar tv "$a" >"$da.list"
        ar tv "$b" >"$db.list"
        (cd "$da" && ar x "$a")
        (cd "$db" && ar x "$b")
        ;;
    tar)
        tar -tv --full-time -f "$a" >"$da.list"
        tar -tv --full-time -f "$b" >"$db.list"
        tar -x -f "$a" -C "$da"
        tar -x -f "$b" -C "$db"
        ;;
    zip)
        unzip -Z -l "$a" | sed '1d;$d' >"$da.list"
        unzip -Z -l "$b" | sed '1d;$d' >"$db.list"
        unzip -q "$a" -d "$da"
        unzip -q "$b" -d "$db"
        ;;
    esac
    if ! cmp -s "$da.list" "$db.list"; then
        echo "${indent}the member listings differ (sizes, modes, owners or times), first at:"
        diff "$da.list" "$db.list" >"$da.diff" || true
        grep -m1 '^<' "$da.diff" | sed "s/^/$indent  /"
        grep -m1 '^>' "$da.diff" | sed "s/^/$indent  /"
    fi
    while IFS= read -r -d '' member; do
        if [ -f "$da/$member" ] && ! cmp -s "$da/$member" "$db/$member" 2>/dev/null; then
            echo "${indent}member ${member#./} differs:"
            explain "$da/$member" "$db/$member" "$indent  "
            return
        fi
    done < <(cd "$da" && find . -type f -print0 | sort -z)
    if cmp -s "$da.list" "$db.list"; then
        echo "${indent}every member and the listing are the same: the archive's own headers differ"
    fi
}

build_in "${first[@]}"
build_in "${second[@]}"

# Compares the two builds' SHA256SUMS, artefact by artefact.
compared=()
for platform in "${platforms[@]}"; do
    dir=build-release
    [ "$platform" = windows ] && dir=build-release-windows
    [ "$platform" = web ] && dir=build-release-web
    a="${first[0]}/$dir"
    b="${second[0]}/$dir"
    if [ ! -s "$a/SHA256SUMS" ]; then
        say "$platform: no artefacts built yet"
        continue
    fi
    while read -r sum file; do
        other="$(awk -v f="$file" '$2 == f { print $1 }' "$b/SHA256SUMS")"
        if [ "$other" != "$sum" ]; then
            keep=1
            say "$file differs between the two builds:"
            echo "  $sum  $a/$file"
            echo "  ${other:-(missing)}  $b/$file"
            if [ -n "$other" ]; then
                explain "$a/$file" "$b/$file"
                if command -v diffoscope >/dev/null; then
                    diffoscope --text - "$a/$file" "$b/$file" 2>/dev/null | head -n 60 || true
                fi
            fi
            say "FAIL: $file is not reproducible (both trees kept in $work)"
            exit 1
        fi
        echo "  $sum  $file"
        compared+=("$file")
    done <"$a/SHA256SUMS"
    if ! cmp -s <(awk '{ print $2 }' "$a/SHA256SUMS") <(awk '{ print $2 }' "$b/SHA256SUMS"); then
        keep=1
        say "FAIL: the two $platform builds made different sets of artefacts (trees kept in $work)"
        exit 1
    fi
done

if [ "${#compared[@]}" -eq 0 ]; then
    say "FAIL: no artefact was built"
    exit 1
fi
say "PASS: ${#compared[@]} artefacts identical in both builds (${compared[*]}), $((SECONDS - start)) s"
