#!/usr/bin/env bash
# Takes a screenshot of korvane.exe's window as it first shows, run under Wine on a virtual X
# display, and keeps its client area (the part the program draws).
#
#   scripts/screenshot-windows.sh [out.png]      default: docs/screenshot-win32.png
#
# Needs a cross-built korvane.exe (scripts/build-windows.sh: build-windows/, or the folder in
# $KORVANE_BUILD), Wine, Xvfb, xdotool, x11-utils and ImageMagick. The Wine prefix is its own,
# made once in the build folder with a virtual desktop (scripts/wine.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
# shellcheck source=scripts/wine.sh
source "$root/scripts/wine.sh"
build="${KORVANE_BUILD:-$root/build-windows}"
out="${1:-$root/docs/screenshot-win32.png}"
exe="$build/window/win32/korvane.exe"
[ -f "$exe" ] || { echo "screenshot-windows: $exe not found; build first" >&2; exit 1; }

export WINEPREFIX="$build/wineprefix-screenshot"
export WINEDEBUG=-all
xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
}
trap cleanup EXIT
start_xvfb 1280x1024x24

make_wine_prefix desktop

wine "$exe" &
window="$(wait_for_window)" || true
[ -n "$window" ] || { echo "screenshot-windows: the window did not show" >&2; exit 1; }
sleep 1 # let it paint

# The X window holds Wine's frame too: equal borders left, right and below, the caption above.
read -r width height < <(xwininfo -id "$window" |
    awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
client_width=563
client_height=458
border=$(((width - client_width) / 2))
top=$((height - client_height - border))
mkdir -p "$(dirname "$out")"
import -window "$window" -crop "${client_width}x${client_height}+${border}+${top}" +repage "$out"
echo "screenshot-windows: window ${width}x${height}, client ${client_width}x${client_height} -> $out"
