#!/usr/bin/env bash
# Takes a screenshot of Korvane's window as it first shows, on a virtual X display, and saves
# it as docs/screenshot.png (or the file given as $1). Needs a built korvane (build/ or the
# folder in $KORVANE_BUILD), Xvfb, xauth and ImageMagick.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVANE_BUILD:-$root/build}"
out="${1:-$root/docs/screenshot.png}"
exe="$build/window/korvane"
[ -x "$exe" ] || { echo "screenshot: $exe not found; build first" >&2; exit 1; }
for tool in Xvfb import xwininfo; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done

# A free display number: no lock file and no socket.
display=""
for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || { echo "screenshot: no free display number" >&2; exit 1; }

xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

DISPLAY="$display" QT_QPA_PLATFORM=xcb "$exe" &
app_pid=$!

# Wait until the window is mapped, then give it a moment to paint.
window_id=""
for _ in $(seq 1 100); do
    window_id="$(DISPLAY="$display" xwininfo -root -tree 2>/dev/null |
        awk '/"KORVANE"/ {print $1; exit}')" || true
    if [ -n "$window_id" ] &&
        DISPLAY="$display" xwininfo -id "$window_id" 2>/dev/null | grep -q 'IsViewable'; then
        break
    fi
    window_id=""
    sleep 0.1
done
[ -n "$window_id" ] || { echo "screenshot: the window did not show" >&2; exit 1; }
sleep 1

mkdir -p "$(dirname "$out")"
DISPLAY="$display" import -window "$window_id" "$out"
echo "screenshot: saved $out"
