#!/usr/bin/env bash
# Builds the Debian package of Korvane, validates its desktop metadata, installs it on this
# machine and starts the installed program under a virtual X server to see its window appear.
#
#   scripts/check_package.sh [build-dir]      (default: build-pkg; needs root or sudo)
#
# Exits non-zero at the first failure. CI runs it after scripts/setup.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
build="${1:-$root/build-pkg}"
# The application id, from the one line that sets it (KORVANE_APP_ID in CMakeLists.txt).
app_id="$(sed -n 's/^set(KORVANE_APP_ID "\([^"]*\)")$/\1/p' "$root/CMakeLists.txt")"
if [ -z "$app_id" ]; then
    echo "check_package: FAIL: no KORVANE_APP_ID in CMakeLists.txt" >&2
    exit 1
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

fail() {
    echo "check_package: FAIL: $*" >&2
    exit 1
}
step() { echo "check_package: $*"; }

xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

step "validating the desktop file and the metainfo"
desktop-file-validate "$root/data/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/data/$app_id.metainfo.xml" || fail "appstreamcli validate"

step "building the package in $build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target korvane --parallel "$(nproc)"
rm -f "$build"/korvane_*.deb
(cd "$build" && cpack -G DEB) || fail "cpack"
debs=("$build"/korvane_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "expected one korvane_*.deb in $build"
fi
deb="${debs[0]}"

step "package fields of $(basename "$deb")"
for field in Package Version Architecture Maintainer Section Depends Description; do
    value="$(dpkg-deb -f "$deb" "$field")"
    [ -n "$value" ] || fail "empty $field field"
    echo "  $field: $(head -n 1 <<<"$value")"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends does not name libqt6widgets6"

step "installing the package"
(cd "$(dirname "$deb")" && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq \
    "./$(basename "$deb")") || fail "apt-get install"

step "checking the installed files"
for f in /usr/bin/korvane \
    "/usr/share/applications/$app_id.desktop" \
    "/usr/share/metainfo/$app_id.metainfo.xml" \
    "/usr/share/icons/hicolor/16x16/apps/$app_id.png" \
    "/usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    "/usr/share/icons/hicolor/256x256/apps/$app_id.png" \
    "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -f "$f" ] || fail "missing $f"
done
[ -x /usr/bin/korvane ] || fail "/usr/bin/korvane is not executable"
if ldd /usr/bin/korvane | grep -q 'not found'; then
    ldd /usr/bin/korvane | grep 'not found' >&2
    fail "/usr/bin/korvane has unresolved libraries"
fi
desktop-file-validate "/usr/share/applications/$app_id.desktop" || fail "installed desktop file"
icon="$(sed -n 's/^Icon=//p' "/usr/share/applications/$app_id.desktop")"
[ "$icon" = "$app_id" ] || fail "desktop file names icon '$icon', expected '$app_id'"
for size in 48 256; do
    dims="$(file -b "/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" | grep -o '[0-9]* x [0-9]*' || true)"
    [ "$dims" = "$size x $size" ] || fail "${size}x${size} icon is '$dims'"
done

step "starting /usr/bin/korvane under Xvfb"
start_xvfb 1280x1024x24 || fail "Xvfb did not start"

QT_QPA_PLATFORM=xcb /usr/bin/korvane &
app_pid=$!
if ! window="$(wait_for_window)" ||
    [ -z "$window" ]; then
    fail "the KORVANE window did not appear within 20 s"
fi
kill -0 "$app_pid" 2>/dev/null || fail "korvane ended right after showing its window"
geometry="$(xwininfo -id "$window" | grep -E 'Width|Height' | tr -s ' ' | tr '\n' ' ')"
step "window $window shown:$geometry"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""

step "all checks passed"
