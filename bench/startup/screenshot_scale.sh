#!/usr/bin/env bash
# Screenshot of Korvane's window at a Qt scale factor, to check that the whole drawing grows
# uniformly (captions wrapping as at factor 1).
#
#   bench/startup/screenshot_scale.sh [factor] [out.png] [korvane-binary]
#       defaults: 2, docs/screenshot-scale2.png, build-pkg/window/korvane
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
factor="${1:-2}"
out="${2:-$root/docs/screenshot-scale$factor.png}"
korvane="${3:-$root/build-pkg/window/korvane}"
[ -x "$korvane" ] || { echo "screenshot_scale: no program at $korvane" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 2560x2048x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "screenshot_scale: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$factor" XDG_RUNTIME_DIR="$work" "$korvane" &
app_pid=$!
window="$(timeout 20 xdotool search --sync --onlyvisible --name '^KORVANE$' | head -n 1)"
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "screenshot_scale: $(xwininfo -id "$window" | grep -E 'Width|Height' | tr -s ' ' | tr '\n' ' ')-> $out"
