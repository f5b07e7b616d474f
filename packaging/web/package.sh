#!/usr/bin/env bash
# Makes the web package, reproducibly:
#   korvane-VERSION-web.zip   korvane-VERSION/korvane-VERSION.html and README.txt
#
#   package.sh PAGE VERSION OUTDIR
#
# The build runs it (target korvane_web_package). Every time stored in the zip is
# SOURCE_DATE_EPOCH, by default the time of the last commit, so the same sources give the same
# bytes.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ "$#" -ne 3 ]; then
    echo "usage: package.sh PAGE VERSION OUTDIR" >&2
    exit 2
fi
page="$1"
version="$2"
outdir="$3"

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
cp "$page" "$stage/$name.html"
# CRLF line ends, which every editor of every system reads.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/README.txt" >"$stage/README.txt"
chmod 0755 "$stage"
chmod 0644 "$stage/$name.html" "$stage/README.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$stage" "$stage/$name.html" "$stage/README.txt"

# -X: no extra fields (owner ids, Unix times); -D: no folder entries; the names in sorted order.
(cd "$work" && find "$name" -type f | sort | zip -X -D -9 -q "$work/package.zip" -@)
mkdir -p "$outdir"
mv "$work/package.zip" "$outdir/$name-web.zip"
echo "package: $outdir/$name-web.zip (SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH)"
