#!/usr/bin/env bash
# Takes a screenshot of Korvane's window as it first shows, on a virtual X display with the
# real X11 platform.
#
#   scripts/screenshot.sh [out.png] [scale-factor]
#       defaults: docs/screenshot.png at factor 1, docs/screenshot-scale<N>.png at factor N
#
# Needs a built korvane (build/, or the folder in $KORVANE_BUILD), Xvfb, xdotool, x11-utils and
# ImageMagick (scripts/setup.sh installs them).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
build="${KORVANE_BUILD:-$root/build}"
factor="${2:-1}"
if [ "$factor" = 1 ]; then
    out="${1:-$root/docs/screenshot.png}"
else
    out="${1:-$root/docs/screenshot-scale$factor.png}"
fi
exe="$build/window/qt/korvane"
[ -x "$exe" ] || { echo "screenshot: $exe not found; build first" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 2560x2048x24
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$factor" XDG_RUNTIME_DIR="$work" "$exe" &
app_pid=$!
window="$(wait_for_window)" || true
[ -n "$window" ] || { echo "screenshot: the window did not show" >&2; exit 1; }
sleep 1 # let it paint

mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "screenshot: $(xwininfo -id "$window" | grep -E 'Width|Height' | tr -s ' ' | tr '\n' ' ')-> $out"
