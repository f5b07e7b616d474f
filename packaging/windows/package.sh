#!/usr/bin/env bash
# Makes the two Windows packages of korvane.exe, reproducibly:
#   korvane-VERSION-win64.zip   the portable program: korvane-VERSION/korvane.exe, README.txt
#   korvane-VERSION-setup.exe   the NSIS installer (packaging/windows/korvane.nsi)
#
#   package.sh EXE VERSION OUTDIR IDENTITY [ICON]
#
# IDENTITY is identity.nsh as CMake made it (product name, publisher, copyright, running mark).
# The build runs it (target korvane_windows_packages). Every time stored in either package is
# SOURCE_DATE_EPOCH, by default the time of the last commit, so the same sources give the same
# bytes. STRIP names the mingw-w64 strip (default x86_64-w64-mingw32-strip).
#
# KORVANE_SIGN, when set, names a command that signs a program in place, called as
# KORVANE_SIGN FILE NAME DESCRIPTION (sign.sh beside this script; scripts/build-release.sh sets
# it when a certificate is given): the shipped korvane.exe is signed before it is packed, the
# uninstaller before NSIS packs it into the installer, and the installer last. Unset, nothing is
# signed and the packages are as before, byte for byte.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ "$#" -lt 4 ]; then
    echo "usage: package.sh EXE VERSION OUTDIR IDENTITY [ICON]" >&2
    exit 2
fi
exe="$1"
version="$2"
outdir="$3"
identity="$4"
icon="${5:-}"
strip="${STRIP:-x86_64-w64-mingw32-strip}"
sign="${KORVANE_SIGN:-}"
product="$(sed -n 's/^!define PRODUCT_NAME "\(.*\)"$/\1/p' "$identity")"
if [ -z "$product" ]; then
    echo "package.sh: no PRODUCT_NAME in $identity" >&2
    exit 2
fi

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null ||
        stat -c %Y "$root/CMakeLists.txt")"
fi
export SOURCE_DATE_EPOCH
# zip stores local times: make local time UTC, so the stored time is the same everywhere.
export TZ=UTC LC_ALL=C

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
name="korvane-$version"
stage="$work/$name"
mkdir "$stage"

# Stripping drops the debugging sections of the static runtime and rewrites the PE header's time
# stamp to SOURCE_DATE_EPOCH (binutils reads it), whatever time the linker wrote.
"$strip" -o "$stage/korvane.exe" "$exe"
if [ -n "$sign" ]; then
    "$sign" "$stage/korvane.exe" korvane.exe "$product"
fi
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/README.txt" >"$stage/README.txt"
chmod 0755 "$stage" "$stage/korvane.exe"
chmod 0644 "$stage/README.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$stage" "$stage/korvane.exe" "$stage/README.txt"

# -X: no extra fields (owner ids, Unix times); -D: no folder entries; the names in sorted order.
(cd "$work" && find "$name" -type f | sort | zip -X -D -9 -q "$work/package.zip" -@)

nsis_args=(-V2 -WX -NOCD -INPUTCHARSET UTF8 "-DVERSION=$version" "-DSTAGE=$stage"
    "-DOUTFILE=$work/$name-setup.exe" "-DIDENTITY=$identity")
if [ -n "$icon" ]; then
    nsis_args+=("-DICON=$icon")
fi
if [ -n "$sign" ]; then
    nsis_args+=("-DSIGN=$sign")
fi
makensis "${nsis_args[@]}" "$here/korvane.nsi"
if [ -n "$sign" ]; then
    "$sign" "$work/$name-setup.exe" "$name-setup.exe" "$product"
fi

mkdir -p "$outdir"
mv "$work/package.zip" "$outdir/$name-win64.zip"
mv "$work/$name-setup.exe" "$outdir/$name-setup.exe"
echo "package: $outdir/$name-win64.zip $outdir/$name-setup.exe (SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH)"
