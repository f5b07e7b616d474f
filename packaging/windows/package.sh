#!/usr/bin/env bash
# Makes the three Windows packages of korvane.exe, reproducibly:
#   korvane-VERSION-win64.zip   the portable program: korvane-VERSION/korvane.exe, README.txt
#   korvane-VERSION-setup.exe   the NSIS installer, per user or for all users (korvane.nsi)
#   korvane-VERSION-x64.msi     the Windows Installer package, for all users (korvane.wxs,
#                               built with Debian's wixl), with its custom action ACTIONS
#
#   package.sh EXE ACTIONS VERSION OUTDIR IDENTITY [ICON]
#
# IDENTITY is identity.nsh as CMake made it (product name, publisher, copyright, running mark);
# ACTIONS is korvane_msi_actions.dll (msi_actions.cpp). The build runs it (target
# korvane_windows_packages). Every time stored in a package is SOURCE_DATE_EPOCH, by default the
# time of the last commit, so the same sources give the same bytes: the MSI's summary
# information times too (wixl runs with its clock set there by faketime), and its package code
# is derived from everything that goes into it instead of drawn at random. STRIP names the
# mingw-w64 strip (default x86_64-w64-mingw32-strip).
#
# KORVANE_SIGN, when set, names a command that signs a program in place, called as
# KORVANE_SIGN FILE NAME DESCRIPTION (sign.sh beside this script; scripts/build-release.sh sets
# it when a certificate is given): the shipped korvane.exe and the custom action DLL are signed
# before they are packed, the uninstaller before NSIS packs it into the installer, and the
# installer and the MSI last. Unset, nothing is signed and the packages are as before, byte for
# byte.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ "$#" -lt 5 ]; then
    echo "usage: package.sh EXE ACTIONS VERSION OUTDIR IDENTITY [ICON]" >&2
    exit 2
fi
exe="$1"
actions="$2"
version="$3"
outdir="$4"
identity="$5"
icon="${6:-}"
strip="${STRIP:-x86_64-w64-mingw32-strip}"
sign="${KORVANE_SIGN:-}"

# identity NAME: the value of !define NAME "..." in identity.nsh.
identity() {
    local value
    value="$(sed -n "s/^!define $1 \"\(.*\)\"\$/\1/p" "$identity")"
    if [ -z "$value" ]; then
        echo "package.sh: no $1 in $identity" >&2
        exit 2
    fi
    echo "$value"
}
product="$(identity PRODUCT_NAME)"
publisher="$(identity PUBLISHER)"
mark="$(identity RUNNING_MARK)"

# uuid5 NAMESPACE NAME: the name-based (SHA-1) UUID of NAME in NAMESPACE (RFC 4122, version 5),
# in capitals and braces as Windows Installer writes GUIDs.
uuid5() {
    local ns="${1//[^0-9A-Fa-f]/}" bytes="" hex i
    for ((i = 0; i < 32; i += 2)); do
        bytes+="\\x${ns:i:2}"
    done
    hex="$({
        printf '%b' "$bytes"
        printf '%s' "$2"
    } | sha1sum | cut -c1-32)"
    hex="${hex:0:12}5${hex:13:3}$(printf '%x' $(((16#${hex:16:1} & 3) | 8)))${hex:17:15}"
    hex="${hex^^}"
    echo "{${hex:0:8}-${hex:8:4}-${hex:12:4}-${hex:16:4}-${hex:20:12}}"
}

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

# The MSI, from a folder of its own (wixl finds the files named in korvane.wxs in its current
# folder): the program and README as in the zip, the icon and the custom action DLL.
msi="$work/msi"
mkdir "$msi"
cp -p "$stage/korvane.exe" "$stage/README.txt" "$msi/"
"$strip" -o "$msi/korvane_msi_actions.dll" "$actions"
if [ -n "$sign" ]; then
    "$sign" "$msi/korvane_msi_actions.dll" korvane_msi_actions.dll "$product"
fi
wixl_args=(-a x64 -D "Version=$version" -D "ProductName=$product" -D "Publisher=$publisher"
    -D "RunningMark=$mark")
if [ -n "$icon" ]; then
    cp "$icon" "$msi/korvane.ico"
    wixl_args+=(-D Icon=yes)
fi
touch -d "@$SOURCE_DATE_EPOCH" "$msi"/*
# The upgrade code is korvane.wxs's own; the product code follows from it and the version, so
# that every version has its own and the same version always the same one. The package code
# names these very bytes: it follows from everything the package is made of.
upgrade_code="$(sed -n 's/^ *<?define UpgradeCode = "\({[0-9A-F-]*}\)" ?>$/\1/p' "$here/korvane.wxs")"
if [ -z "$upgrade_code" ]; then
    echo "package.sh: no UpgradeCode in $here/korvane.wxs" >&2
    exit 2
fi
wixl_args+=(-D "ProductCode=$(uuid5 "$upgrade_code" "ProductCode $version")")
package_code="$(uuid5 "$upgrade_code" "PackageCode $({
    wixl --version
    printf '%s\n' "${wixl_args[@]}" "$SOURCE_DATE_EPOCH"
    sha256sum <"$here/korvane.wxs"
    (cd "$msi" && sha256sum -- *)
} | sha256sum | cut -c1-64)")"
# wixl stamps the summary information with the time it runs and a random package code: its
# clock is stopped at SOURCE_DATE_EPOCH, and msibuild then writes the package code (and the
# subject, author and template as wixl wrote them).
clock="$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')"
(cd "$msi" && faketime -f "$clock" wixl "${wixl_args[@]}" -o "$work/$name-x64.msi" \
    "$here/korvane.wxs")
faketime -f "$clock" msibuild "$work/$name-x64.msi" \
    -s "$product $version" "$publisher" "x64;1033" "$package_code"
if [ -n "$sign" ]; then
    "$sign" "$work/$name-x64.msi" "$name-x64.msi" "$product"
fi

mkdir -p "$outdir"
mv "$work/package.zip" "$outdir/$name-win64.zip"
mv "$work/$name-setup.exe" "$outdir/$name-setup.exe"
mv "$work/$name-x64.msi" "$outdir/$name-x64.msi"
echo "package: $outdir/$name-win64.zip $outdir/$name-setup.exe $outdir/$name-x64.msi" \
    "(SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH)"
