#!/usr/bin/env bash
# The web package as a user unpacks it: exactly korvane-VERSION/korvane-VERSION.html, the page
# as built byte for byte, and README.txt, its version filled in.
#   package_test.sh ZIP PAGE VERSION WORK-DIR
set -euo pipefail
zip="$1"
page="$2"
version="$3"
work="$4"
fail() {
    echo "web package: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip" -d "$work"
listed="$(cd "$work" && find . -type f | LC_ALL=C sort | tr '\n' ' ')"
[ "$listed" = "./korvane-$version/README.txt ./korvane-$version/korvane-$version.html " ] ||
    fail "holds $listed"
cmp -s "$page" "$work/korvane-$version/korvane-$version.html" || fail "the page is not the one built"
readme="$work/korvane-$version/README.txt"
grep -q "^Korvane $version in a browser" "$readme" || fail "README.txt does not name version $version"
if grep -q '@VERSION@' "$readme"; then
    fail "README.txt holds @VERSION@"
fi
echo "web package: korvane-$version-web.zip holds the page and its README"
