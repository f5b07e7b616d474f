#!/usr/bin/env bash
# Installs what is missing, builds Korvane's web page (scripts/build-web.sh, build-web/) and
# opens it in the browser: the desktop's default one (xdg-open), or the one named by $BROWSER.
# Without a display it says where the page is: it opens from the disk in any browser.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-web"

"$root/scripts/build-web.sh" "$build" >/dev/null
page="$(find "$build/window/web" -maxdepth 1 -name 'korvane-*.html' | sort | tail -n 1)"
echo "run-web: $page"
if [ -n "${BROWSER:-}" ]; then
    exec "$BROWSER" "$page"
elif [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xdg-open >/dev/null; then
    exec xdg-open "$page"
fi
echo "run-web: no display; open file://$page in a browser"
